#pragma once
// Starts virtual-radio on a pseudo-terminal for end-to-end tests (being written).
