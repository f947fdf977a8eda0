#pragma once
// The myrar archiver this program carries: the bytes of the myrar built with it, kept in
// a source file that the build generates. Empty when the build had no myrar to carry.
#include <cstddef>
#include <span>

extern const unsigned char ArchiverPayload[];
extern const std::size_t ArchiverPayloadLength;

inline std::span<const unsigned char> archiverPayload() { return {ArchiverPayload, ArchiverPayloadLength}; }
