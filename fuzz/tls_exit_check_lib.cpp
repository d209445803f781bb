// A library with a thread_local as small as the module's, for tls_exit_check.
thread_local int tlsValue = 0;

extern "C" int tls_exit_check_touch() { return ++tlsValue; }
