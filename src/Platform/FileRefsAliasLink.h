#pragma once

#include <string>

/// Keeps linkPath a symbolic link to targetPath (the application's alias in a shared folder):
/// made when nothing is there; replaced, atomically, when it is a link that leads elsewhere
/// or nowhere; left alone when it leads to targetPath. Anything at linkPath that is not a
/// symbolic link is never touched (EEXIST). Returns 0 or an errno value.
int QorRefreshAliasLink(const std::string& linkPath, const std::string& targetPath);
