/* Preloaded during sanitizer runs: libraries stay loaded until exit, so that LeakSanitizer can name the
 * library a leak comes from (and the suppressions can match it) even when SDL has already unloaded it. */
int dlclose(void* handle) {
    (void)handle;
    return 0;
}
