// Downloading a URL into a file, synchronously, through libcurl (qmole).
#pragma once

#include <oleauto.h>

#include <string>

// Neither the caller object nor a progress callback is used by the programs
// built here: both must be null.
struct IUnknown;
struct IBindStatusCallback;
typedef IUnknown* LPUNKNOWN;
typedef IBindStatusCallback* LPBINDSTATUSCALLBACK;

#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define INET_E_INVALID_URL ((HRESULT)0x800C0002L)
#define INET_E_CANNOT_CONNECT ((HRESULT)0x800C0004L)
#define INET_E_RESOURCE_NOT_FOUND ((HRESULT)0x800C0005L)
#define INET_E_DOWNLOAD_FAILURE ((HRESULT)0x800C0008L)
#define INET_E_UNKNOWN_PROTOCOL ((HRESULT)0x800C000DL)

// Fetches `url` exactly as given (http, https and file URLs only; redirects
// are followed to http and https only, never to a local file; a file URL
// must name a regular file, never a folder or a device) into `file`.
// The file is written whole or not at all: after any failure an existing
// file of that name is as it was and no partial file is left. A server that
// stops sending for a minute ends the download. S_OK, or: E_INVALIDARG for a
// null URL or file or a non-zero reserved word, E_NOTIMPL for a caller or
// callback, INET_E_UNKNOWN_PROTOCOL for another scheme, INET_E_INVALID_URL,
// INET_E_RESOURCE_NOT_FOUND (no such file or host), INET_E_CANNOT_CONNECT,
// INET_E_DOWNLOAD_FAILURE (an HTTP error status or a broken transfer) and
// E_ACCESSDENIED when the file cannot be written.
HRESULT URLDownloadToFileA(LPUNKNOWN caller, LPCSTR url, LPCSTR file, DWORD reserved, LPBINDSTATUSCALLBACK callback);

// Why the calling thread's last URLDownloadToFileA failed, in English (the
// server's HTTP status, a refused connection, an address of another kind);
// empty after a download that succeeded.
std::string qm_download_last_error();
