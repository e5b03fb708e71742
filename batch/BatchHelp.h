#pragma once

// What `vidmora-batch --help` prints.
const char* batchHelpText();
