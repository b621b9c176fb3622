// Fuzzes the batch line: any folder texts and file name, through the checks
// and the line builder Parvane uses, must either be refused with a reason that
// fits or be read by the interpreter as exactly dcmdjpeg, the input path and
// the output path, also after the code pages (see BatchLineProperty.h).
#include "BatchLineProperty.h"
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const batchproperty::Input input = batchproperty::InputFromBytes(data, size);
    const batchproperty::System system = batchproperty::SystemNumbered(input.system);
    const std::string problem = batchproperty::Check(input, system, batchproperty::StandInEncoder(system));
    if (!problem.empty()) {
        std::fprintf(stderr, "batch line property broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
