.pragma library

// Display rules of the maintenance pages, kept free of any item so the tests
// can call them directly (addresses are checked by the network proxy). Colour
// rules answer with a colour name ("green", "amber", "red", "grey") or "" for
// the normal text colour; the pages turn the name into the Material colour.

// A diagnostics verdict: nothing yet, passed, failed, or anything else.
function diagnosticsColour(value) {
    var text = value === undefined || value === null ? "" : String(value)
    if (text === "")
        return "grey"
    if (text === "OK")
        return "green"
    if (text.indexOf("ERROR") >= 0)
        return "red"
    return "amber"
}

// The state of a connection ("Connected", "Disconnected", or in between).
function connectionStateColour(value) {
    if (value === "Connected")
        return "green"
    if (value === "Disconnected")
        return "red"
    return "amber"
}

function connectivityColour(value) {
    if (value === "Full")
        return "green"
    if (value === "Portal" || value === "Limited")
        return "amber"
    return "red"
}

function updateStatusColour(value) {
    if (value === "Disconnected")
        return "red"
    if (value === "Ready to install")
        return "green"
    if (value === "Downloading" || value === "Installing")
        return "amber"
    return ""
}

function canInstall(status) {
    return status === "Ready to install"
}
