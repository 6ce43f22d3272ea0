// Priorities of the logging service; the values are those of the ACE
// logging framework, so they can be handed to ACE_Log_Msg unchanged.
#ifndef QEN_LOG_PRIORITY_H
#define QEN_LOG_PRIORITY_H

namespace qen_util {

enum QENLogPriority
{
  SHUTDOWN = 1,
  TRACE = 2,
  DEBUG = 4,
  INFO = 8,
  NOTICE = 16,
  WARNING = 32,
  STARTUP = 64,
  ERROR = 128,
  CRITICAL = 256,
  ALERT = 512,
  EMERGENCY = 1024
};

}  // namespace qen_util

#endif
