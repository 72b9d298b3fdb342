// The watch digest by mail: one plain UTF-8 message to MAIL_TO, handed to the machine's sendmail.
#pragma once

#include <string>

namespace tavrix::report {

// The whole message: headers (the subject encoded so that any mail reader shows it) and the body.
std::string digestMail(const std::string& to, const std::string& subject, const std::string& body);

// Hands the message to sendmail (the first on PATH, else /usr/sbin/sendmail or /usr/lib/sendmail),
// which reads the recipient from it; empty on success, else why it could not be sent.
std::string sendMail(const std::string& message);

}  // namespace tavrix::report
