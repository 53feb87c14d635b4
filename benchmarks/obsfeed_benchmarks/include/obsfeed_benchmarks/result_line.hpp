// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

#ifndef OBSFEED_BENCHMARKS__RESULT_LINE_HPP_
#define OBSFEED_BENCHMARKS__RESULT_LINE_HPP_

#include <cstdint>
#include <string>

namespace obsfeed_benchmarks
{

/// One measurement as a line of JSON (a flat object), which the report script collects.
class ResultLine
{
public:
  ResultLine & add(const std::string & key, const std::string & value);
  ResultLine & add(const std::string & key, uint64_t value);
  ResultLine & add(const std::string & key, double value);

  /// The object, without a line break.
  std::string text() const {return "{" + fields_ + "}";}

private:
  void add_raw(const std::string & key, const std::string & json_value);

  std::string fields_;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__RESULT_LINE_HPP_
