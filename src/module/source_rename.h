#pragma once

// Follows the host's "source_rename" signal: a renamed source keeps its place in every
// preset and in the director's pending work. Connecting twice (or disconnecting twice)
// does nothing.
void connectRenameSignal(bool on);
