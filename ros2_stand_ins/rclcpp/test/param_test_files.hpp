// Copyright 2026 obsfeed developers. Apache-2.0.
#ifndef PARAM_TEST_FILES_HPP_
#define PARAM_TEST_FILES_HPP_

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

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

  ~ParamTestFiles()
  {
    for (const auto & path : paths_) {
      unlink(path.c_str());
    }
    rmdir(directory_.c_str());
  }

  ParamTestFiles(const ParamTestFiles &) = delete;
  ParamTestFiles & operator=(const ParamTestFiles &) = delete;

  /// Write content to a new file and return its path.
  std::string
  write(const std::string & name, const std::string & content)
  {
    const std::string path = directory_ + "/" + name;
    std::ofstream(path) << content;
    paths_.push_back(path);
    return path;
  }

  std::string
  path(const std::string & name) const
  {
    return directory_ + "/" + name;
  }

private:
  std::string directory_;
  std::vector<std::string> paths_;
};

#endif  // PARAM_TEST_FILES_HPP_
