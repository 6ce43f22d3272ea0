// Export macro of the qen_util shared library.
#ifndef QEN_UTIL_EXPORT_H
#define QEN_UTIL_EXPORT_H

#if defined(_WIN32)
#  if defined(QEN_UTIL_BUILD)
#    define QEN_UTIL_API __declspec(dllexport)
#  else
#    define QEN_UTIL_API __declspec(dllimport)
#  endif
#else
#  if defined(QEN_UTIL_BUILD)
#    define QEN_UTIL_API __attribute__((visibility("default")))
#  else
#    define QEN_UTIL_API
#  endif
#endif

#endif
