# System-wide install for packagers: the layout OBS searches under its prefix.
include(GNUInstallDirs)
install(TARGETS curtainup LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}/obs-plugins" COMPONENT plugin)
install(DIRECTORY data/ DESTINATION "${CMAKE_INSTALL_DATADIR}/obs/obs-plugins/curtainup" COMPONENT plugin)

# Per-user install (see UserInstall.cmake).
curtainup_add_user_install(install-user curtainup "${PROJECT_SOURCE_DIR}/data")
