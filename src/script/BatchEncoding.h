#pragma once
// The code page of uncompress.bat, as Windows gives it.
#include <string>
#include <string_view>

// Writes text as the interpreter reads the batch file: in the OEM code page,
// the code page of the console it gets (932 on a Japanese Windows). False
// when the text has no exact form there, or none in the ANSI code page in
// which dcmdjpeg receives its arguments.
bool EncodeForBatchFile(std::wstring_view text, std::string& bytes);
