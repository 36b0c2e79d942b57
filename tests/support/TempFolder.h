#pragma once
// A scratch folder under the temporary folder, unique to the process and
// removed with everything in it at destruction.

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Without a trailing backslash.
  const std::string& Path() const { return m_path; }
  // Writes bytes to Path()\relativePath, creating the folders on the way.
  void Write(const std::string& relativePath, const std::string& bytes) const;

 private:
  std::string m_path;
};
