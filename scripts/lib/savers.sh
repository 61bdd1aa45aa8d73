# The saver list for scripts (sourced, not run; POSIX sh), read from
# savers/list.cmake, where each saver is declared once: `saver(NAME "Display
# name" EFFECT` opens its entry. The list file is found upwards from the running
# script's folder.
saver_list_file=$(cd "$(dirname "$0")" && pwd)
while [ "$saver_list_file" != / ] && [ ! -f "$saver_list_file/savers/list.cmake" ]; do
    saver_list_file=$(dirname "$saver_list_file")
done
saver_list_file=$saver_list_file/savers/list.cmake

# The savers' names, one per line, in the list's order.
saver_names() {
    sed -n 's/^saver(\([a-z0-9_]*\) .*/\1/p' "$saver_list_file"
}

# Whether $1 names a saver.
is_saver() {
    saver_names | grep -qx -- "$1"
}
