// URL downloads through libcurl, written through the file layer's whole-file
// writer so that a failed download never leaves part of a file behind.
#include <curl/curl.h>
#include <strings.h>
#include <sys/stat.h>
#include <urlmon.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "qm_file.h"

namespace {

// The only schemes a download may use; a redirect may lead to the network
// ones only, so no server can make the program copy a local file.
constexpr const char* kSchemes[] = {"http://", "https://", "file://"};
constexpr char kProtocols[] = "http,https,file";
constexpr char kRedirectProtocols[] = "http,https";
constexpr long kConnectSeconds = 30;
constexpr long kStallSeconds = 60;
constexpr long kMaxRedirects = 10;

bool known_scheme(const char* url) {
  for (const char* s : kSchemes) {
    if (strncasecmp(url, s, std::strlen(s)) == 0) return true;
  }
  return false;
}

bool curl_ready() {
  static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ok;
}

// A file URL must name a regular file: a folder would "download" as an
// empty file and a device such as /dev/zero would never end.
bool names_regular_file(const char* url) {
  if (strncasecmp(url, "file://", 7) != 0) return true;
  CURLU* u = curl_url();
  if (!u) return false;
  char* path = nullptr;
  bool ok = false;
  if (curl_url_set(u, CURLUPART_URL, url, 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_PATH, &path, CURLU_URLDECODE) == CURLUE_OK && path) {
    struct stat st;
    ok = stat(path, &st) == 0 && S_ISREG(st.st_mode);
  }
  curl_free(path);
  curl_url_cleanup(u);
  return ok;
}

size_t write_part(char* data, size_t size, size_t count, void* stream) {
  return std::fwrite(data, size, count, static_cast<FILE*>(stream)) * size;
}

HRESULT result_of(CURLcode code) {
  switch (code) {
    case CURLE_OK: return S_OK;
    case CURLE_UNSUPPORTED_PROTOCOL: return INET_E_UNKNOWN_PROTOCOL;
    case CURLE_URL_MALFORMAT: return INET_E_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_FILE_COULDNT_READ_FILE:
    case CURLE_REMOTE_FILE_NOT_FOUND: return INET_E_RESOURCE_NOT_FOUND;
    case CURLE_COULDNT_CONNECT: return INET_E_CANNOT_CONNECT;
    case CURLE_WRITE_ERROR: return E_ACCESSDENIED;
    default: return INET_E_DOWNLOAD_FAILURE;
  }
}

thread_local std::string last_error;

HRESULT failed(HRESULT result, std::string why) {
  last_error = std::move(why);
  return result;
}

// Why a transfer failed: the server's HTTP status, or libcurl's own words.
std::string transfer_error(CURL* curl, CURLcode code, const char* detail) {
  long status = 0;
  if (code == CURLE_HTTP_RETURNED_ERROR && curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
      status > 0)
    return "the server answered with HTTP status " + std::to_string(status);
  return *detail ? detail : curl_easy_strerror(code);
}

}  // namespace

std::string qm_download_last_error() { return last_error; }

HRESULT URLDownloadToFileA(LPUNKNOWN caller, LPCSTR url, LPCSTR file, DWORD reserved, LPBINDSTATUSCALLBACK callback) {
  last_error.clear();
  if (!url || !file || reserved != 0) return failed(E_INVALIDARG, "no address or no file was given");
  if (caller || callback) return failed(E_NOTIMPL, "progress callbacks are not supported");
  if (!known_scheme(url))
    return failed(INET_E_UNKNOWN_PROTOCOL, "only http://, https:// and file:// addresses are fetched");
  if (!curl_ready()) return failed(E_FAIL, "the download library cannot be started");
  if (!names_regular_file(url)) return failed(INET_E_RESOURCE_NOT_FOUND, "the address names no regular file");
  QmFileWriter out;
  if (!out.open(file, "wb")) return failed(E_ACCESSDENIED, qm_file_error(file, errno ? errno : EACCES));
  CURL* curl = curl_easy_init();
  if (!curl) return failed(E_OUTOFMEMORY, "the download library is out of memory");
  char detail[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
  curl_easy_setopt(curl, CURLOPT_URL, url);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, kRedirectProtocols);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write_part);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, out.stream());
  const CURLcode code = curl_easy_perform(curl);
  const std::string why = code == CURLE_OK ? "" : transfer_error(curl, code, detail);
  curl_easy_cleanup(curl);
  if (code != CURLE_OK) return failed(result_of(code), why);  // the writer removes its temporary file
  if (!out.commit()) return failed(E_ACCESSDENIED, qm_file_error(file, errno ? errno : EIO));
  return S_OK;
}
