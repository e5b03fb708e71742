#pragma once

// How many conversions run at once without --jobs: one a core this process may run on (so
// that taskset and a container's cpuset are heeded), whatever the files' length and format.
// Measured on two cores (the README's table): two at once were faster than one at every
// length from 30 s to 10 min, at the default quality, at a chosen bit rate and for MPEG, for
// at most 5 % more processor time, and even on long files on a quieter machine; the
// encoder's own spreading of a long AVI or WMV file over the cores leaves room that a second
// file fills.
int defaultJobs();
