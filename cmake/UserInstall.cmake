# Per-user install into the OBS of whoever runs the build: $HOME is read when the
# target runs, so `HOME=/tmp/x cmake --build build --target install-user` fills a throwaway home.
function(curtainup_add_user_install target_name module_target data_dir)
  add_custom_target(${target_name}
    COMMAND "${CMAKE_COMMAND}" -DMODULE_FILE=$<TARGET_FILE:${module_target}>
            -DMODULE_NAME=${module_target} -DDATA_DIR=${data_dir}
            -P "${PROJECT_SOURCE_DIR}/cmake/InstallUser.cmake"
    DEPENDS ${module_target}
    COMMENT "Installing ${module_target} into the user's OBS plug-in folder"
    VERBATIM)
endfunction()
