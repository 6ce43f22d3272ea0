#ifndef QEN_COMMON_END_SIGNALS_H
#define QEN_COMMON_END_SIGNALS_H

/* The ending signals (SIGINT, SIGTERM, SIGHUP, SIGPIPE) of a program that writes
 * its outputs beside their targets: the handler runs discard (which must be
 * async-signal-safe), then ends the process as the signal asked. Process 1
 * of a PID namespace ignores the signal that it raises itself, so the
 * handler then exits with status 128 + the signal. A signal ignored by
 * whoever started the program stays ignored. */
void end_on_signals(void (*discard)(void));

#endif
