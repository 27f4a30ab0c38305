# helm_find_opencv(MODULES...): imported targets opencv_<module> for each module asked for.
# Debian ships OpenCV's CMake package file only with the metapackage libopencv-dev, which pulls
# in every module and its dependencies (GDAL, VTK, ...). The per-module -dev packages we install
# hold the headers and libraries, so when the package file is missing the targets are made here.
function(helm_find_opencv)
    find_package(OpenCV QUIET COMPONENTS ${ARGN})
    if(OpenCV_FOUND)
        return()
    endif()
    find_path(HELM_OPENCV_INCLUDE opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
    foreach(module IN LISTS ARGN)
        if(TARGET opencv_${module})
            continue()
        endif()
        find_library(HELM_OPENCV_${module} opencv_${module} REQUIRED)
        add_library(opencv_${module} SHARED IMPORTED GLOBAL)
        set_target_properties(opencv_${module} PROPERTIES
            IMPORTED_LOCATION ${HELM_OPENCV_${module}}
            INTERFACE_INCLUDE_DIRECTORIES ${HELM_OPENCV_INCLUDE})
    endforeach()
    message(STATUS "OpenCV modules from their headers and libraries: ${ARGN}")
endfunction()
