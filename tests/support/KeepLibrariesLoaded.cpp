// Linked into test binaries only: keeps every shared object mapped until the
// process ends, so that LeakSanitizer can symbolise (and the suppression file
// can name) what the GL driver allocates for itself.
extern "C" int dlclose(void*) {
    return 0;
}
