#pragma once
// The framework's exceptions. The program's own code raises and catches none;
// the window procedure reports any that leaves a handler.
#include <string>

class CException {
public:
    virtual ~CException() = default;
    virtual std::wstring GetErrorMessage() const = 0;
};

class CInvalidArgException : public CException {
public:
    std::wstring GetErrorMessage() const override;
};

class CFileException : public CException {
public:
    enum Cause { genericException, fileNotFound, accessDenied, diskFull, badPath };
    CFileException(Cause cause = genericException, std::wstring fileName = {}, long osError = 0)
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}
    std::wstring GetErrorMessage() const override;
    Cause m_cause;
    long m_lOsError;  // the system's error code, when the system gave one
    std::wstring m_strFileName;
};
