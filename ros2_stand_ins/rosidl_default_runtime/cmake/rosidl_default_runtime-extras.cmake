# Generated message packages export a dependency on this package; their
# exported targets link against the runtime and type support libraries found
# here, so a consumer's find_package(<msg package>) resolves them.
foreach(_runtime
    rosidl_runtime_c
    rosidl_runtime_cpp
    rosidl_typesupport_interface
    rosidl_typesupport_introspection_c
    rosidl_typesupport_introspection_cpp)
  find_package(${_runtime} REQUIRED)
endforeach()
