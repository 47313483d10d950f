# The program's icon and the toolbar's own icons, built into the window as
# Qt resources (":/zeldl/icons/...", ":/zeldl/toolbar/..."). PNGs only: Qt
# draws SVG icons only with a plugin the program does not depend on.
file(GLOB_RECURSE zeldl_icon_files
  ${CMAKE_CURRENT_LIST_DIR}/icons/hicolor/*.png ${CMAKE_CURRENT_LIST_DIR}/toolbar/png/*.png)
qt_add_resources(zeldl_app zeldl_icons PREFIX /zeldl BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES ${zeldl_icon_files})
