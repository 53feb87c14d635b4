# Humble's rosidl_default_generators finds every generator package so that
# rosidl_generate_interfaces() runs them all. Debian ships the C and C++
# generators and the introspection type supports; those are what a message
# package built against this workspace gets.
find_package(rosidl_cmake REQUIRED)
foreach(_generator
    rosidl_generator_c
    rosidl_generator_cpp
    rosidl_typesupport_introspection_c
    rosidl_typesupport_introspection_cpp)
  find_package(${_generator} REQUIRED)
endforeach()
