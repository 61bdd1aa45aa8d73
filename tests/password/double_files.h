/* Files beside a test double's own module: the scripted answers it reads and the
 * log it appends to. */
#pragma once

#include <stdio.h>
#include <string.h>
#include <windows.h>

/* The path of `name` in the folder that holds `module`; 0 if it does not fit. */
static int PathBeside(HMODULE module, const char* name, char* path, size_t size) {
    DWORD length = GetModuleFileNameA(module, path, (DWORD)size);
    if (length == 0 || length >= size) return 0;
    char* slash = strrchr(path, '\\');
    char* cut = slash ? slash + 1 : path;
    if ((size_t)(cut - path) + strlen(name) + 1 > size) return 0;
    strcpy(cut, name);
    return 1;
}

/* Appends `text` and a line end to the file `name` beside `module`. */
static void AppendLine(HMODULE module, const char* name, const char* text) {
    char path[MAX_PATH];
    if (!PathBeside(module, name, path, sizeof path)) return;
    FILE* file = fopen(path, "ab"); /* binary: plain line ends */
    if (!file) return;
    fprintf(file, "%s\n", text);
    fclose(file);
}
