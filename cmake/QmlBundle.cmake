# Builds the resource bundle of the screens: every file under qml/ keeps its path
# below ":/qml/", the DejaVu Sans font is taken from the Debian font package (never
# committed) and the translation catalogues are compiled from their sources.
set(TALLYPORT_FONT_FILE "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
    CACHE FILEPATH "DejaVu Sans TrueType file compiled into the bundle")

function(tallyport_qml_bundle out_qrc)
    set(qml_dir ${PROJECT_SOURCE_DIR}/qml)
    set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/bundle)
    file(MAKE_DIRECTORY ${gen_dir}/fonts ${gen_dir}/translations)

    if(NOT EXISTS ${TALLYPORT_FONT_FILE})
        message(FATAL_ERROR "Font ${TALLYPORT_FONT_FILE} missing: install fonts-dejavu-core")
    endif()
    configure_file(${TALLYPORT_FONT_FILE} ${gen_dir}/fonts/DejaVuSans.ttf COPYONLY)

    file(GLOB_RECURSE qml_files CONFIGURE_DEPENDS RELATIVE ${qml_dir} ${qml_dir}/*)
    list(FILTER qml_files EXCLUDE REGEX "(^|/)\\.|\\.ts$|\\.qrc$|(^|/)fonts/")

    set(entries "")
    foreach(f IN LISTS qml_files)
        string(APPEND entries "        <file alias=\"qml/${f}\">${qml_dir}/${f}</file>\n")
    endforeach()
    string(APPEND entries "        <file alias=\"qml/fonts/DejaVuSans.ttf\">${gen_dir}/fonts/DejaVuSans.ttf</file>\n")

    # Catalogues: qml/translations/<name>.ts becomes :/qml/translations/<name>.qm.
    file(GLOB ts_files CONFIGURE_DEPENDS ${qml_dir}/translations/*.ts)
    set(qm_files "")
    foreach(ts IN LISTS ts_files)
        get_filename_component(name ${ts} NAME_WE)
        set(qm ${gen_dir}/translations/${name}.qm)
        if(NOT EXISTS ${qm})
            # rcc lists the bundle at configure time, so the file must exist already.
            get_target_property(lrelease Qt5::lrelease IMPORTED_LOCATION)
            execute_process(COMMAND ${lrelease} -silent ${ts} -qm ${qm})
        endif()
        add_custom_command(OUTPUT ${qm} COMMAND Qt5::lrelease -silent ${ts} -qm ${qm} DEPENDS ${ts}
                           COMMENT "Compiling catalogue ${name}")
        list(APPEND qm_files ${qm})
        string(APPEND entries "        <file alias=\"qml/translations/${name}.qm\">${qm}</file>\n")
    endforeach()
    add_custom_target(tallyport_translations DEPENDS ${qm_files})

    set(qrc ${gen_dir}/bundle.qrc)
    set(content "<!DOCTYPE RCC><RCC version=\"1.0\">\n    <qresource prefix=\"/\">\n${entries}    </qresource>\n</RCC>\n")
    # Written through configure_file so an unchanged list does not rebuild the bundle.
    file(WRITE ${qrc}.in "${content}")
    configure_file(${qrc}.in ${qrc} COPYONLY)
    set(${out_qrc} ${qrc} PARENT_SCOPE)
endfunction()

# Compiles the bundle's QML and JavaScript ahead of time (qmlcachegen, from
# qtdeclarative5-dev-tools), so no start parses or compiles a document and no
# first use of a screen compiles its functions. The sources stay in the bundle.
# Without the compiler the documents are compiled at run time as before.
option(TALLYPORT_QML_COMPILER "Compile the QML documents ahead of time" ON)
find_package(Qt5QuickCompiler QUIET)
function(tallyport_add_qml_resources out_var qrc)
    set(qmlcachegen "${_qt5Core_install_prefix}/lib/qt5/bin/qmlcachegen")
    if(TALLYPORT_QML_COMPILER AND Qt5QuickCompiler_FOUND AND EXISTS ${qmlcachegen})
        qtquick_compiler_add_resources(resources ${qrc})
    else()
        message(STATUS "QML documents compiled at run time (qmlcachegen not found)")
        qt5_add_resources(resources ${qrc})
    endif()
    set(${out_var} ${resources} PARENT_SCOPE)
endfunction()
