.pragma library

// Input checks and display rules of the maintenance pages, kept free of any
// item so the tests can call them directly. Colour rules answer with a colour
// name ("green", "amber", "red", "grey") or "" for the normal text colour; the
// pages turn the name into the Material palette colour.

// Empty, or four decimal numbers from 0 to 255 without leading zeros,
// separated by dots.
function isAddressValid(text) {
    var value = text === undefined || text === null ? "" : String(text)
    return value === "" || /^((25[0-5]|(2[0-4]|1\d|[1-9]|)\d)\.?\b){4}$/.test(value)
}

// The first problem of an Ethernet configuration, as its untranslated
// message, or "" when it may be saved. fields holds address, mask, gateway,
// dns0 and dns1 texts.
function ethernetConfigError(mode, fields) {
    if (mode !== "manual")
        return ""
    if (!fields.address)
        return "IPv4 address cannot be empty in 'manual' mode"
    if (!fields.mask)
        return "IPv4 netmask cannot be empty in 'manual' mode"
    var checks = [["address", "IPv4 address is not a valid IP address"], ["mask", "IPv4 netmask is not a valid IP address"],
                  ["gateway", "IPv4 gateway is not a valid IP address"], ["dns0", "IPv4 DNS #0 is not a valid IP address"],
                  ["dns1", "IPv4 DNS #1 is not a valid IP address"]]
    for (var i = 0; i < checks.length; ++i) {
        if (!isAddressValid(fields[checks[i][0]]))
            return checks[i][1]
    }
    return ""
}

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
