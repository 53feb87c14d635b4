// Copyright 2026 obsfeed developers
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.

#include "rclcpp/detail/yaml_parameters.hpp"

#include <yaml.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace rclcpp
{
namespace detail
{

namespace
{

constexpr char kParametersKey[] = "ros__parameters";

/// Pull-style access to libyaml's events with errors that say where they happened.
class YamlEventReader
{
public:
  /// source is the prefix of error messages (a file path, or "-p").
  explicit YamlEventReader(std::string source)
  : source_(std::move(source))
  {
    if (!yaml_parser_initialize(&parser_)) {
      throw YamlParameterError(source_ + ": cannot initialize the YAML parser");
    }
  }

  ~YamlEventReader()
  {
    if (has_event_) {
      yaml_event_delete(&event_);
    }
    yaml_parser_delete(&parser_);
    if (file_ != nullptr) {
      std::fclose(file_);
    }
  }

  YamlEventReader(const YamlEventReader &) = delete;
  YamlEventReader & operator=(const YamlEventReader &) = delete;

  void
  set_input_string(const std::string & text)
  {
    text_ = text;
    yaml_parser_set_input_string(
      &parser_, reinterpret_cast<const unsigned char *>(text_.data()), text_.size());
  }

  void
  set_input_file(const std::string & path)
  {
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
      throw YamlParameterError(
              "cannot open parameters file '" + path + "': " + std::strerror(errno));
    }
    yaml_parser_set_input_file(&parser_, file_);
  }

  /// Advance to the next event.
  const yaml_event_t &
  next()
  {
    if (has_event_) {
      yaml_event_delete(&event_);
      has_event_ = false;
    }
    if (!yaml_parser_parse(&parser_, &event_)) {
      const char * problem = parser_.problem ? parser_.problem : "malformed YAML";
      throw YamlParameterError(
              source_ + ":" + std::to_string(parser_.problem_mark.line + 1) + ": " + problem);
    }
    has_event_ = true;
    return event_;
  }

  const yaml_event_t &
  current() const
  {
    return event_;
  }

  size_t
  line() const
  {
    return event_.start_mark.line + 1;
  }

  [[noreturn]] void
  fail(const std::string & message) const
  {
    throw YamlParameterError(source_ + ":" + std::to_string(line()) + ": " + message);
  }

  std::string
  scalar_text() const
  {
    return std::string(
      reinterpret_cast<const char *>(event_.data.scalar.value), event_.data.scalar.length);
  }

private:
  std::string source_;
  std::string text_;
  std::FILE * file_ = nullptr;
  yaml_parser_t parser_{};
  yaml_event_t event_{};
  bool has_event_ = false;
};

bool
is_one_of(const std::string & text, std::initializer_list<const char *> words)
{
  for (const char * word : words) {
    if (text == word) {
      return true;
    }
  }
  return false;
}

/// The type rcl gives a scalar; the checks run in rcl's order (bool, integer, double, string),
/// which is why "0x10" is an integer, "1e3" a double and "08" a double (8.0).
rclcpp::ParameterValue
typed_scalar(const std::string & text, bool forced_string)
{
  if (forced_string) {
    return rclcpp::ParameterValue(text);
  }
  if (is_one_of(text, {"Y", "y", "yes", "Yes", "YES", "true", "True", "TRUE", "on", "On", "ON"})) {
    return rclcpp::ParameterValue(true);
  }
  if (is_one_of(
      text,
      {"N", "n", "no", "No", "NO", "false", "False", "FALSE", "off", "Off", "OFF"}))
  {
    return rclcpp::ParameterValue(false);
  }
  const char * begin = text.c_str();
  char * end = nullptr;
  errno = 0;
  const long long integer = std::strtoll(begin, &end, 0);  // NOLINT(runtime/int)
  if (errno == 0 && end != begin && *end == '\0') {
    return rclcpp::ParameterValue(static_cast<int64_t>(integer));
  }
  if (is_one_of(text, {".nan", ".NaN", ".NAN"})) {
    return rclcpp::ParameterValue(std::nan(""));
  }
  if (is_one_of(text, {".inf", ".Inf", ".INF"})) {
    return rclcpp::ParameterValue(INFINITY);
  }
  if (is_one_of(text, {"-.inf", "-.Inf", "-.INF"})) {
    return rclcpp::ParameterValue(-INFINITY);
  }
  errno = 0;
  end = nullptr;
  const double floating = std::strtod(begin, &end);
  if (errno == 0 && end != begin && *end == '\0') {
    return rclcpp::ParameterValue(floating);
  }
  return rclcpp::ParameterValue(text);
}

/// The value of the scalar event the reader stands on.
rclcpp::ParameterValue
read_scalar(const YamlEventReader & reader)
{
  const yaml_event_t & event = reader.current();
  const bool quoted = event.data.scalar.style == YAML_SINGLE_QUOTED_SCALAR_STYLE ||
    event.data.scalar.style == YAML_DOUBLE_QUOTED_SCALAR_STYLE;
  const bool string_tag = event.data.scalar.tag != nullptr &&
    std::strcmp(reinterpret_cast<const char *>(event.data.scalar.tag), YAML_STR_TAG) == 0;
  const std::string text = reader.scalar_text();
  if (text.empty() && !quoted && !string_tag) {
    reader.fail("no value (write \"\" for an empty string)");
  }
  return typed_scalar(text, quoted || string_tag);
}

/// Scalar values that all hold a T, as one array value.
template<typename T>
rclcpp::ParameterValue
array_of(const std::vector<rclcpp::ParameterValue> & elements)
{
  std::vector<T> values;
  for (const auto & element : elements) {
    values.push_back(element.get<T>());
  }
  return rclcpp::ParameterValue(values);
}

/// The list whose SEQUENCE_START event the reader stands on; one element type only.
rclcpp::ParameterValue
read_sequence(YamlEventReader & reader, const std::string & name)
{
  std::vector<rclcpp::ParameterValue> elements;
  while (true) {
    const yaml_event_t & event = reader.next();
    if (event.type == YAML_SEQUENCE_END_EVENT) {
      break;
    }
    if (event.type != YAML_SCALAR_EVENT) {
      reader.fail("list '" + name + "' may only hold scalar values, not lists or maps");
    }
    elements.push_back(read_scalar(reader));
    const auto first_type = elements.front().get_type();
    const auto this_type = elements.back().get_type();
    if (this_type != first_type) {
      reader.fail(
        "list '" + name + "' mixes element types (" + rclcpp::to_string(first_type) + " and " +
        rclcpp::to_string(this_type) + "); all elements must have one type");
    }
  }
  if (elements.empty()) {
    // No element type to go by: the override exists but has no value.
    return rclcpp::ParameterValue();
  }
  switch (elements.front().get_type()) {
    case rclcpp::PARAMETER_BOOL:
      return array_of<bool>(elements);
    case rclcpp::PARAMETER_INTEGER:
      return array_of<int64_t>(elements);
    case rclcpp::PARAMETER_DOUBLE:
      return array_of<double>(elements);
    default:
      return array_of<std::string>(elements);
  }
}

/// A parameter value: a scalar or a list of scalars.
rclcpp::ParameterValue
read_value(YamlEventReader & reader, const std::string & name)
{
  const yaml_event_t & event = reader.current();
  switch (event.type) {
    case YAML_SCALAR_EVENT:
      return read_scalar(reader);
    case YAML_SEQUENCE_START_EVENT:
      return read_sequence(reader, name);
    case YAML_ALIAS_EVENT:
      reader.fail("aliases are not supported in parameter values");
    default:
      reader.fail("the value of '" + name + "' must be a scalar or a list of scalars");
  }
}

/// Skip events up to the first content event of the next document; false at the end.
bool
next_document(YamlEventReader & reader)
{
  while (true) {
    const yaml_event_t & event = reader.next();
    if (event.type == YAML_STREAM_END_EVENT) {
      return false;
    }
    if (event.type == YAML_DOCUMENT_START_EVENT) {
      reader.next();
      return true;
    }
  }
}

std::string
join_node_key(const std::vector<std::string> & parts)
{
  std::string key;
  for (const auto & part : parts) {
    if (key.empty() || key.back() != '/') {
      key += '/';
    }
    key += (!part.empty() && part.front() == '/') ? part.substr(1) : part;
  }
  return key;
}

/// Inside ros__parameters: nested maps become '.'-joined names.
void
read_parameters_map(
  YamlEventReader & reader,
  const std::string & node_key,
  const std::string & prefix,
  const std::string & path,
  std::vector<ParameterOverrideSection> & sections)
{
  while (true) {
    const yaml_event_t & key_event = reader.next();
    if (key_event.type == YAML_MAPPING_END_EVENT) {
      return;
    }
    if (key_event.type != YAML_SCALAR_EVENT) {
      reader.fail("parameter names must be plain strings");
    }
    const std::string name = prefix + reader.scalar_text();
    if (reader.scalar_text().empty()) {
      reader.fail("empty parameter name");
    }
    const yaml_event_t & value_event = reader.next();
    if (value_event.type == YAML_MAPPING_START_EVENT) {
      read_parameters_map(reader, node_key, name + ".", path, sections);
      continue;
    }
    rclcpp::ParameterValue value = read_value(reader, name);
    add_parameter_override(sections, node_key, ParameterOverrideEntry{name, value, path});
  }
}

/// Above ros__parameters: keys are node names and namespaces.
void
read_node_map(
  YamlEventReader & reader,
  std::vector<std::string> & node_parts,
  const std::string & path,
  std::vector<ParameterOverrideSection> & sections)
{
  while (true) {
    const yaml_event_t & key_event = reader.next();
    if (key_event.type == YAML_MAPPING_END_EVENT) {
      return;
    }
    if (key_event.type != YAML_SCALAR_EVENT) {
      reader.fail("node names must be plain strings");
    }
    const std::string key = reader.scalar_text();
    const yaml_event_t & value_event = reader.next();
    if (key == kParametersKey) {
      if (node_parts.empty()) {
        reader.fail(std::string("there is no node name before ") + kParametersKey);
      }
      if (value_event.type != YAML_MAPPING_START_EVENT) {
        reader.fail(std::string(kParametersKey) + " must be a map of parameter names to values");
      }
      read_parameters_map(reader, join_node_key(node_parts), "", path, sections);
      continue;
    }
    if (value_event.type != YAML_MAPPING_START_EVENT) {
      reader.fail(
        "'" + key + "' has a value outside " + kParametersKey +
        "; parameters go under <node name>: " + kParametersKey + ":");
    }
    node_parts.push_back(key);
    read_node_map(reader, node_parts, path, sections);
    node_parts.pop_back();
  }
}

}  // namespace

rclcpp::ParameterValue
parse_yaml_value(const std::string & yaml_text, const std::string & source)
{
  YamlEventReader reader(source);
  reader.set_input_string(yaml_text);
  if (!next_document(reader)) {
    throw YamlParameterError(source + ": no value");
  }
  if (reader.current().type == YAML_MAPPING_START_EVENT) {
    reader.fail("a value must be a scalar or a list of scalars, not a map");
  }
  rclcpp::ParameterValue value = read_value(reader, source);
  if (reader.next().type != YAML_DOCUMENT_END_EVENT) {
    reader.fail("unexpected content after the value");
  }
  return value;
}

void
parse_parameter_file(const std::string & path, std::vector<ParameterOverrideSection> & sections)
{
  // Parse into a copy so that a bad file leaves no half of its entries behind.
  std::vector<ParameterOverrideSection> parsed = sections;
  YamlEventReader reader(path);
  reader.set_input_file(path);
  while (next_document(reader)) {
    const yaml_event_t & event = reader.current();
    if (event.type == YAML_SCALAR_EVENT && reader.scalar_text().empty()) {
      continue;  // an empty document
    }
    if (event.type != YAML_MAPPING_START_EVENT) {
      reader.fail("the top level must be a map of node names");
    }
    std::vector<std::string> node_parts;
    read_node_map(reader, node_parts, path, parsed);
  }
  sections = std::move(parsed);
}

}  // namespace detail
}  // namespace rclcpp
