// A fresh directory under the system's temporary folder, removed with everything in it at the end
// of the test.
#pragma once

#include <string>

class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Reads a whole file into a byte string (empty when it cannot be read).
std::string ReadWholeFile(const std::string& path);
// Writes bytes to a file, replacing it; false on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
