// Linked into every fuzz target.
//
// AddressSanitizer keeps freed memory in a quarantine of 256 MB by default,
// so a target that allocates many small texts per input grows to hundreds of
// megabytes before the first use-after-free could show. A small quarantine
// keeps the memory of a long run flat; a freed block still waits there long
// enough to catch the use of it within one input.

extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=8";
}
