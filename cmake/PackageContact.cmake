# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it builds the package (CPACK_PROJECT_CONFIG_FILE): a
# package handed out names a maintainer who can be reached, which the project,
# having no mailbox of its own, cannot do for whoever builds it.
if(NOT CPACK_PACKAGE_CONTACT MATCHES "^[^<>@]+ <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$"
   OR CPACK_PACKAGE_CONTACT MATCHES "@localhost")
    message(FATAL_ERROR
        "The package needs its maintainer's name and mail address, not "
        "\"${CPACK_PACKAGE_CONTACT}\": cpack -D CPACK_PACKAGE_CONTACT=\"Name <address>\", "
        "or configure the build with -DCPACK_PACKAGE_CONTACT=\"Name <address>\".")
endif()
