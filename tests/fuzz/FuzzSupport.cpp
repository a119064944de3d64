// Linked into every fuzz target.
//
// AddressSanitizer keeps freed memory in a quarantine of 256 MB by default,
// so a target that allocates many small texts per input grows to hundreds of
// megabytes before the first use-after-free could show. A small quarantine
// keeps the memory of a long run flat; a freed block still waits there long
// enough to catch the use of it within one input.
//
// It also records the stack of every allocation and release, thirty frames
// deep by default, and stores each in a table; for a target that makes a
// text a field that bookkeeping takes more time than the decoding. Two frames
// are kept: the frames of an allocation past the second are mostly Qt's own
// container code anyway, and the stack of the bad access itself is always
// whole. scripts/fuzz runs a finding again with ASAN_OPTIONS=malloc_context_size=30
// for the whole stacks.

extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=8:malloc_context_size=2";
}
