# The Debian package, made by CPack from the install rules: `./dev package`
# (or cpack -G DEB in a build folder) writes vantrel_<version>_amd64.deb.
# It installs under /usr: the library, its headers, the CMake package, the
# pkg-config file and the programs, and declares what a learner needs to
# build with it, so that `apt install ./vantrel_<version>_amd64.deb` is the
# whole installation on a lab machine.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <vantrel@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# CPack puts the summary above this text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantrel is a small C++17 framework over SDL2 for a first programming course:
one window, a frame loop, shapes, text and sound. The package holds the
static library, its headers, a CMake package (find_package(vantrel)), a
pkg-config file (pkg-config --cflags --libs vantrel) and vantrel-new, which
starts a new project, vantrel-grade, which grades a folder of learners'
programs against a reference, each in a sandbox (bubblewrap), and
vantrel-playground, a web playground where learners write, run, share and
hand in programs with only a browser.")
# Everything a program built with Vantrel needs: the SDL2 libraries' headers
# (which pull in the libraries), the default font, a compiler and the build
# tools that a new project uses; and the sandbox vantrel-grade runs every
# program in (bubblewrap; setpriv, tar and coreutils are essential packages).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libsdl2-dev (>= 2.0.10), libsdl2-gfx-dev, libsdl2-ttf-dev, libsdl2-mixer-dev, libsdl2-image-dev, fonts-dejavu-core, g++, cmake (>= 3.22), pkg-config, bubblewrap")
# The installed programs link only those libraries, which the -dev packages
# pull in, so dpkg-shlibdeps (from dpkg-dev) is not needed to find them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

include(CPack)
