# Installing Trovel: the libraries, their public headers under
# include/trovel/<folder>/, the CMake package (find_package(Trovel)), the
# pkg-config files, the Qt Designer plugin, and the Debian package made by
# CPack (`make package`).
#
#   Trovel::controls    ctlTrovel, ctlTrovel2, pagTrovel, the contracts, the platform
#   Trovel::sqlite      SqliteConnection
#   Trovel::postgresql  PgConnection, where libpq was found
#   Trovel::qt          QtHost, ControlWidget, TrovelWidget, Trovel2Widget
#
# Headers include each other as "platform/Variant.h", so a consumer's include
# path holds include/trovel; include/ is there too, for <trovel/...>.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installing (and packaging) takes what is built and builds nothing: the
# tests install from a tree that is being tested, not rebuilt.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Public headers by folder. Nothing here may include a header left out: the
# install test checks it.
set(TROVEL_PUBLIC_HEADERS
  platform/ComboBox.h platform/CommandButton.h platform/Control.h platform/DateTime.h platform/Decimal.h
  platform/DescribedControl.h platform/Dispatch.h platform/Error.h platform/CellText.h platform/FlexGrid.h platform/GridCells.h
  platform/FocusChain.h platform/Font.h platform/Format.h platform/FormatPicture.h platform/HeaderTips.h
  platform/HeadlessHost.h platform/Host.h
  platform/InnerSizes.h platform/JsonFilePropertyBag.h platform/Label.h platform/MemberInfo.h
  platform/MemberTable.h platform/MemoryPropertyBag.h platform/Picture.h platform/PropertyBag.h
  platform/PropertyPageSite.h platform/RefObject.h platform/SimplePropertyPageSite.h
  platform/TextBox.h platform/Variant.h platform/Widget.h platform/PauseTimer.h platform/DateTest.h
  search/SearchAsYouType.h
  contracts/DataConnection.h contracts/DataCursor.h contracts/Fields.h contracts/SearchStatement.h
  contracts/ForwardingConnection.h contracts/ForwardingCursor.h
  ctltrovel/ctlTrovel.h ctltrovel/TIPOC.h
  ctltrovel2/ctlTrovel2.h ctltrovel2/clsColumns.h ctltrovel2/clsColumn.h ctltrovel2/ColumnDescription.h
  proppage/pagTrovel.h
  connectors/SqliteConnection.h)
foreach(optional connectors/ConnectionSettings.h connectors/OpenConnection.h connectors/PgConnection.h
                 connectors/OdbcConnection.h)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${optional})
    list(APPEND TROVEL_PUBLIC_HEADERS ${optional})
  endif()
endforeach()
set(TROVEL_INCLUDE_DIRS $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/trovel> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

set(trovel_libraries trovel_platform trovel_contracts trovel_search trovel_connectors trovel_ctltrovel trovel_ctltrovel2 trovel_proppage)
set_target_properties(trovel_connectors PROPERTIES EXPORT_NAME sqlite)
foreach(lib ${trovel_libraries})
  target_include_directories(${lib} INTERFACE ${TROVEL_INCLUDE_DIRS})
endforeach()

add_library(trovel_controls INTERFACE)
target_link_libraries(trovel_controls INTERFACE trovel_ctltrovel trovel_ctltrovel2 trovel_proppage)
set_target_properties(trovel_controls PROPERTIES EXPORT_NAME controls)
add_library(Trovel::controls ALIAS trovel_controls)
add_library(Trovel::sqlite ALIAS trovel_connectors)
list(APPEND trovel_libraries trovel_controls)

# What the libraries link beyond the standard library, for their consumers.
set(TROVEL_WITH_ICU OFF)
if(TARGET ICU::uc)
  set(TROVEL_WITH_ICU ON)
endif()
set(TROVEL_WITH_POSTGRESQL OFF)
if(PostgreSQL_FOUND)
  # libpq is built into the connectors library, with SQLite.
  set(TROVEL_WITH_POSTGRESQL ON)
  add_library(trovel_postgresql INTERFACE)
  target_link_libraries(trovel_postgresql INTERFACE trovel_connectors)
  set_target_properties(trovel_postgresql PROPERTIES EXPORT_NAME postgresql)
  add_library(Trovel::postgresql ALIAS trovel_postgresql)
  list(APPEND trovel_libraries trovel_postgresql)
endif()

# unixODBC is built into the connectors library too.
set(TROVEL_WITH_ODBC OFF)
if(ODBC_FOUND)
  set(TROVEL_WITH_ODBC ON)
endif()

set(TROVEL_WITH_QT OFF)
if(TARGET trovel_qtwidgets)
  set(TROVEL_WITH_QT ON)
  list(APPEND TROVEL_PUBLIC_HEADERS qt/QtHost.h qt/ModelPanel.h qt/ControlWidget.h
       qtwidgets/TypedControlWidget.h qtwidgets/TrovelWidget.h qtwidgets/Trovel2Widget.h)
  target_include_directories(trovel_qt INTERFACE ${TROVEL_INCLUDE_DIRS})
  set_target_properties(trovel_qt PROPERTIES EXPORT_NAME qthost)
  set_target_properties(trovel_qtwidgets PROPERTIES EXPORT_NAME qt)
  add_library(Trovel::qt ALIAS trovel_qtwidgets)
  list(APPEND trovel_libraries trovel_qt trovel_qtwidgets)
endif()

install(TARGETS ${trovel_libraries} EXPORT TrovelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(header ${TROVEL_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${CMAKE_SOURCE_DIR}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/trovel/${folder})
endforeach()

set(TROVEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Trovel)
install(EXPORT TrovelTargets NAMESPACE Trovel:: DESTINATION ${TROVEL_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/TrovelConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/TrovelConfig.cmake INSTALL_DESTINATION ${TROVEL_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TrovelConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TrovelConfig.cmake ${CMAKE_BINARY_DIR}/TrovelConfigVersion.cmake
        DESTINATION ${TROVEL_CMAKE_DIR})

# pkg-config: trovel (controls and connectors) and trovel-qt. Both find their
# prefix from where they lie, so an unpacked package works where it is.
set(TROVEL_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH TROVEL_PC_TO_PREFIX /${TROVEL_PC_DIR} /)
set(TROVEL_PC_REQUIRES "sqlite3 nlohmann_json")
if(TROVEL_WITH_ICU)
  string(APPEND TROVEL_PC_REQUIRES " icu-uc icu-i18n")
endif()
if(TROVEL_WITH_POSTGRESQL)
  string(APPEND TROVEL_PC_REQUIRES " libpq")
endif()
if(TROVEL_WITH_ODBC)
  string(APPEND TROVEL_PC_REQUIRES " odbc")
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/trovel.pc.in ${CMAKE_BINARY_DIR}/trovel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/trovel.pc DESTINATION ${TROVEL_PC_DIR})
if(TROVEL_WITH_QT)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/trovel-qt.pc.in ${CMAKE_BINARY_DIR}/trovel-qt.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/trovel-qt.pc DESTINATION ${TROVEL_PC_DIR})
endif()

# The Designer plugin goes where Qt keeps its plugins, below the prefix: in
# /usr that is the folder Designer searches itself.
if(TARGET trovel_designer)
  set(TROVEL_DESIGNER_PLUGIN_DIR ${QT6_INSTALL_PLUGINS}/designer CACHE STRING
      "Where the Qt Designer plugin is installed, below the prefix")
  install(TARGETS trovel_designer LIBRARY DESTINATION ${TROVEL_DESIGNER_PLUGIN_DIR})
endif()

# The Debian package: a development package, since the libraries are static.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME libtrovel-dev)
set(CPACK_PACKAGE_VENDOR "Trovel")
set(CPACK_PACKAGE_CONTACT "Trovel developers <trovel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Embeddable search controls for the forms of database applications")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(trovel_deb_depends "libsqlite3-dev, nlohmann-json3-dev")
if(TROVEL_WITH_ICU)
  string(APPEND trovel_deb_depends ", libicu-dev")
endif()
if(TROVEL_WITH_POSTGRESQL)
  string(APPEND trovel_deb_depends ", libpq-dev")
endif()
if(TROVEL_WITH_ODBC)
  string(APPEND trovel_deb_depends ", unixodbc-dev")
endif()
if(TROVEL_WITH_QT)
  string(APPEND trovel_deb_depends ", qt6-base-dev")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${trovel_deb_depends}")
include(CPack)
