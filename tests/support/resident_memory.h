#pragma once

// The memory the process holds in RAM, in kilobytes; -1 when it cannot be read.
long ResidentKilobytes();
