#pragma once
// A standard stream the tool was started without (<&-, >&-) keeps its descriptor taken, so that
// no file the tool opens becomes that stream by taking the free number: a temporary copy of
// standard input read back as the input itself, or output written into a file.

#include <cstdio>

namespace orvacct {

// Each closed one of descriptors 0 to 2 is held by the null device opened the other way round,
// so using the stream still fails as a closed one does (EBADF). Call first thing.
void holdClosedStandardStreams() noexcept;

// The stream carries bytes as they are. On Windows the C runtime's text mode would otherwise read
// CR LF as LF (and stop at a Ctrl+Z) and write LF as CR LF. Does nothing elsewhere.
void binaryMode(std::FILE* stream) noexcept;

}  // namespace orvacct
