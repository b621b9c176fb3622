#pragma once
// What this program reads of another process it started: its process
// environment block (PEB), through ntdll's NtQueryInformationProcess.
#include "afx/afx.h"
#include <winternl.h>
#include <optional>

using QueryProcessInformation = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// NtQueryInformationProcess, looked up once; null where ntdll lacks it.
QueryProcessInformation QueryProcessInformationFunction();

// The process's environment block, copied out of its memory; nothing when it
// cannot be read. The handle needs PROCESS_QUERY_INFORMATION and
// PROCESS_VM_READ.
std::optional<PEB> ReadEnvironmentBlock(HANDLE process);
