# `cpack` in a build folder makes a Debian package for the OBS this build was made against:
# the module and its texts in the folders that OBS's own package reads, depending on that
# OBS's release line and (through dpkg-shlibdeps) on the libobs and Qt it links.
math(EXPR _obs_next_major "${libobs_VERSION_MAJOR} + 1")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME obs-curtainup)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "CurtainUp")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "CurtainUp for OBS Studio: a see-through countdown and the switches from standby to OP to the main scene")
set(CPACK_PACKAGE_DESCRIPTION
    "A countdown source, a flow director for the opening, breaks and ending of a live stream, and a control dock. Built for OBS Studio ${libobs_VERSION} with Qt ${CURTAINUP_QT_MAJOR}.")
set(CPACK_PACKAGING_INSTALL_PREFIX "${_obs_prefix}")
set(CPACK_COMPONENTS_ALL plugin)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "CurtainUp developers <curtainup@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# One package per OBS release line: the release names the line it was built for.
set(CPACK_DEBIAN_PACKAGE_RELEASE "1+obs${libobs_VERSION_MAJOR}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# libobs may carry a fourth number (29.0.2.1) that Debian's own version (29.0.2+dfsg) sorts below.
set(_obs_release "${libobs_VERSION_MAJOR}.${libobs_VERSION_MINOR}.${libobs_VERSION_PATCH}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "obs-studio (>= ${_obs_release}), obs-studio (<< ${_obs_next_major})")
include(CPack)
