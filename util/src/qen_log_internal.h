// Helpers shared by the loggers and the logging configuration.
#ifndef QEN_LOG_INTERNAL_H
#define QEN_LOG_INTERNAL_H

#include <ios>
#include <string>

#include <ace/SString.h>

namespace qen_util {
namespace detail {

/// The public open modes keep their Windows values: 8 appends, anything
/// else (2) truncates.
std::ios::openmode streamMode(int mode);

/// Replaces every occurrence of find, left to right, going on after the
/// inserted text; "" when any argument is null.
ACE_CString findAndReplace(const char* text, const char* find, const char* replacement);

/// Every "%t" of the name becomes the local time as "_%Y-%m-%d_%H-%M-%S".
ACE_CString formattedLogFileName(const std::string& name);

}  // namespace detail
}  // namespace qen_util

#endif
