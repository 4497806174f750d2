# Bash completion for quorvel-cli: its commands, each command's options, files after --ini
# and --exclude, and folders after --out.

_quorvel_cli() {
    local current=${COMP_WORDS[COMP_CWORD]}
    local previous=${COMP_WORDS[COMP_CWORD-1]}
    local command=${COMP_WORDS[1]}

    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "search watch get help --help --version" -- "$current")
        return
    fi
    case $previous in
        --ini|--exclude)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$current")
            return ;;
        --out)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$current")
            return ;;
        --board|--read-timeout)
            COMPREPLY=()
            return ;;
    esac
    local options
    case $command in
        search|watch) options="--ini --exclude --board --raw --help" ;;
        get) options="--read-timeout --out --help" ;;
        *) options="" ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
}

complete -F _quorvel_cli quorvel-cli
