// Copyright 2026 obsfeed developers. Apache-2.0.
#ifndef PARAM_TEST_FILES_HPP_
#define PARAM_TEST_FILES_HPP_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

/// Parameter files written into a fresh directory that is removed again afterwards.
class ParamTestFiles
{
public:
  ParamTestFiles()
  {
    char pattern[] = "/tmp/rclcpp_params_XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
  }

  ~ParamTestFiles() {std::filesystem::remove_all(directory_);}

  ParamTestFiles(const ParamTestFiles &) = delete;
  ParamTestFiles & operator=(const ParamTestFiles &) = delete;

  /// Writes content to a new file and returns its path.
  std::string write(const std::string & name, const std::string & content)
  {
    std::ofstream(path(name)) << content;
    return path(name);
  }

  std::string path(const std::string & name) const {return (directory_ / name).string();}

private:
  std::filesystem::path directory_;
};

#endif  // PARAM_TEST_FILES_HPP_
