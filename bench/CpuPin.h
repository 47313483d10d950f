#pragma once

// Keeps this process, and the processes it starts from now on, on one CPU:
// the one that was idlest over a short look. A client and a printer that
// talk over TCP then hand each packet over on the same CPU, so a run
// measures their work and not how fast a sleeping CPU of a virtual machine
// wakes up, which varies several times over from one minute to the next.
// Returns the CPU, or -1 when the process was left as it was.
int pinToIdlestCpu();
