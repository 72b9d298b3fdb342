// A message of its own making (no mail library): RFC 5322 headers, an RFC 2047 subject, 8-bit UTF-8
// text; sendmail -t -oi is what every mail transport on Debian provides.
#include "app/digest_mail.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tavrix::report {
namespace {

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
  }
  return out;
}

std::string findSendmail() {
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  path += ":/usr/sbin:/usr/lib";
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find(':', start), path.size());
    const std::string candidate = path.substr(start, end - start) + "/sendmail";
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

std::string digestMail(const std::string& to, const std::string& subject, const std::string& body) {
  return "To: " + to + "\nSubject: =?UTF-8?B?" + base64(subject) +
         "?=\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n" + body;
}

std::string sendMail(const std::string& message) {
  const std::string sendmail = findSendmail();
  if (sendmail.empty()) return "no sendmail on this machine (install a mail transport)";
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::string("cannot start sendmail: ") + std::strerror(errno);
  const pid_t child = ::fork();
  if (child < 0) return std::string("cannot start sendmail: ") + std::strerror(errno);
  if (child == 0) {
    ::dup2(pipeEnds[0], 0);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    ::execl(sendmail.c_str(), "sendmail", "-t", "-oi", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeEnds[0]);
  ::signal(SIGPIPE, SIG_IGN);  // a sendmail that stops reading is a failure to report, not our end
  bool written = true;
  for (std::size_t sent = 0; written && sent < message.size();) {
    const ssize_t n = ::write(pipeEnds[1], message.data() + sent, message.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) sent += static_cast<std::size_t>(n);
  }
  ::close(pipeEnds[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return sendmail + " failed (status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
  if (!written) return sendmail + " did not take the whole message";
  return {};
}

}  // namespace tavrix::report
