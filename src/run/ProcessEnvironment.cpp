#include "run/ProcessEnvironment.h"

QueryProcessInformation QueryProcessInformationFunction()
{
    static const auto query = reinterpret_cast<QueryProcessInformation>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    return query;
}

std::optional<PEB> ReadEnvironmentBlock(HANDLE process)
{
    const QueryProcessInformation query = QueryProcessInformationFunction();
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        !basic.PebBaseAddress || !::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), nullptr))
        return std::nullopt;
    return peb;
}
