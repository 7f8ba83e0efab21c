# Sourced by the scripts that run sanitizer builds (scripts/test.sh,
# scripts/fuzz.sh): the sanitizers' settings, kept in one place. Expects
# ROOT, the checkout. Settings already in the environment come after these,
# so they win.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizers/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
# The toolkit and the sound libraries are not built with ThreadSanitizer: it
# cannot see them synchronise, so memory they hand between their own threads
# (the toolkit's thread pool) looks raced. Their interceptor calls are left
# out; every access made by our own code is still checked.
export TSAN_OPTIONS="suppressions=$ROOT/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:${TSAN_OPTIONS:-}"
