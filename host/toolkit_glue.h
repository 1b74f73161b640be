#pragma once

// The toolkit's windows are entered from the host's message loop, outside the hooks: their procedures
// get the same crash-dump guard, and what they throw ends in the host's error box, never in its loop.
void ConnectToolkitToHost();
