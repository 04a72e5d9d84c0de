# Fetches a Debian source package of an exact version from the archive the system's own packages
# come from, for the scripts that build a library Debian has only for Linux (sourced by them).
# When apt knows no source for it, a deb-src entry beside each of that archive's binary ones goes
# to /etc/apt/sources.list.d/tavrin-deb-src.sources (with sudo when not root).

# The Signed-By of the sources entry FILE:N (the Nth stanza of a deb822 file, the Nth line of a
# one-line one), empty when it has none.
debian_source_signed_by() {
    local file=${1%:*} number=${1##*:}
    case "$file" in
        *.sources)
            awk -v n="$number" 'BEGIN { RS = "" } NR == n' "$file" |
                sed -n 's/^Signed-By:[[:space:]]*\([^[:space:]]\+\)[[:space:]]*$/\1/ip'
            ;;
        *) sed -n "${number}s/.*signed-by=\([^] ]*\).*/\1/p" "$file" ;;
    esac
}

debian_source_known() {
    apt-cache showsrc --only-source "$1" 2>/dev/null | grep -xF "Version: $2" >/dev/null
}

debian_source_add_entries() {
    local sudo="" stanzas="" uri suite entry keyring list
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    while read -r uri suite entry; do
        if [ -z "$(apt-get indextargets --format '$(REPO_URI)' 'Identifier: Sources' \
            "Repo-URI: $uri" "Release: $suite" 'Component: main')" ]; then
            stanzas+=$'\n'"Types: deb-src"$'\n'"URIs: $uri"$'\n'"Suites: $suite"
            stanzas+=$'\n'"Components: main"
            keyring=$(debian_source_signed_by "$entry")
            if [ -n "$keyring" ]; then stanzas+=$'\n'"Signed-By: $keyring"; fi
            stanzas+=$'\n'
        fi
    done < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(SOURCESENTRY)' \
        'Identifier: Packages' 'Origin: Debian' 'Component: main' | sort -u)
    if [ -n "$stanzas" ]; then
        list=/etc/apt/sources.list.d/tavrin-deb-src.sources
        echo "Adding Debian's sources to $list"
        if [ ! -e "$list" ]; then
            stanzas="# Debian's sources, for the tools/build-mingw-*.sh scripts"$'\n'"$stanzas"
        fi
        printf '%s' "$stanzas" | $sudo tee -a "$list" >/dev/null
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get update -q
}

# fetch_debian_source PACKAGE VERSION FOLDER: unpacks the source of PACKAGE at VERSION, with
# Debian's patches applied, into FOLDER (apt-get source checks what it downloads against the
# archive's signed index) and prints the path of the unpacked tree. Fails with a message when the
# archive has no such source.
fetch_debian_source() {
    local package=$1 version=$2 folder=$3 tree
    if ! debian_source_known "$package" "$version"; then
        debian_source_add_entries >&2
        if ! debian_source_known "$package" "$version"; then
            echo "the Debian archive has no source of $package $version: upgrade the" \
                "installed package built from it and run again" >&2
            return 1
        fi
    fi
    # apt's unprivileged downloader cannot write into root's home.
    local sandbox=()
    if [ "$(id -u)" -eq 0 ]; then sandbox=(-o APT::Sandbox::User=root); fi
    echo "Fetching Debian's source of $package $version" >&2
    if ! (cd "$folder" && apt-get source -q "${sandbox[@]}" --only-source \
        "$package=$version" >source.log 2>&1); then
        tail -n 20 "$folder/source.log" >&2
        return 1
    fi
    tree=$(find "$folder" -mindepth 1 -maxdepth 1 -type d -name "$package-*")
    if [ ! -d "$tree" ]; then
        echo "apt-get source left no $package folder in $folder" >&2
        return 1
    fi
    echo "$tree"
}
