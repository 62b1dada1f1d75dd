// An HTTP server on a free port of 127.0.0.1 that answers one request, with
// the given status line and body, then closes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <utility>

class OneShotServer {
 public:
  explicit OneShotServer(std::string body, std::string status = "200 OK")
      : body_(std::move(body)), status_(std::move(status)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      return;
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] {
      const int c = ::accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      char request[4096];
      (void)::recv(c, request, sizeof request, 0);
      const std::string reply = "HTTP/1.0 " + status_ + "\r\nContent-Length: " + std::to_string(body_.size()) +
                                "\r\nConnection: close\r\n\r\n" + body_;
      (void)::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
      ::close(c);
    });
  }
  ~OneShotServer() {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    if (thread_.joinable()) thread_.join();
  }
  OneShotServer(const OneShotServer&) = delete;
  OneShotServer& operator=(const OneShotServer&) = delete;
  int port() const { return port_; }

 private:
  std::string body_, status_;
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};
