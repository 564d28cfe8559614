// fuzz harness: the scratch game folder every target runs in, and the one file each
// input is written over before the reader runs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vurkhold::fuzz {

// Copies the built game folder (VURKHOLD_GAME_DIR, or the build's own) into a fresh
// folder under /dev/shm, changes into it, allocates and binds the pools, opens the silent
// sound driver and captures the game's messages. Exits on failure: no input can run.
// The fuzzer's own arguments that name files (inputs, corpus folders, where crashes go)
// are made absolute first, so they still name the same files from inside the scratch folder.
void enter_scratch_game(int* argc, char*** argv);

// Replaces `path` (relative to the scratch folder) with exactly these bytes, and clears
// the messages of the previous run.
void write_input(const char* path, const uint8_t* data, size_t size);

}  // namespace vurkhold::fuzz
