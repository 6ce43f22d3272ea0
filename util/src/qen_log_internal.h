// Helpers shared by the loggers and the logging configuration.
#ifndef QEN_LOG_INTERNAL_H
#define QEN_LOG_INTERNAL_H

#include <string>

#include <ace/SString.h>

namespace qen_util {

class QENLogUtil;

namespace detail {

/// "Cannot open file NAME: REASON", REASON being the system's text for
/// the error number.
ACE_CString cannotOpenMessage(const char* name, int errnum);

/// Says on standard error that a log file could not be opened, as the
/// configuration does: the message after a blank.
void sayCannotOpen(const ACE_CString& message);

/// The logger's openGeneralLogFile; a general log file that did not open
/// is said on standard error.
bool openGeneralLogFileOrSay(QENLogUtil& util, const char* name, int mode);

/// Replaces every occurrence of find, left to right, going on after the
/// inserted text; "" when any argument is null.
ACE_CString findAndReplace(const char* text, const char* find, const char* replacement);

/// Every "%t" of the name becomes the local time as "_%Y-%m-%d_%H-%M-%S".
ACE_CString formattedLogFileName(const std::string& name);

}  // namespace detail
}  // namespace qen_util

#endif
