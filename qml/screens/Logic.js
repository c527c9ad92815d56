.pragma library

// Small pure rules of the passenger screens, kept here so tests can call them.

// One letter C or K followed by exactly eight decimal digits.
function isSerialNumberValid(text) {
    return /^[CK][0-9]{8}$/.test(String(text))
}

// A number of minutes as the largest sensible unit. words holds the translated
// unit names: min, mins, hour, hours, day, days.
function periodText(minutes, words) {
    var m = Number(minutes)
    if (!isFinite(m))
        m = 0
    if (m > 1440) {
        var d = Math.floor(m / 1440 + 0.5)
        return d + " " + (d === 1 ? words.day : words.days)
    }
    if (m > 120) {
        var h = Math.floor(m / 60 + 0.5)
        return h + " " + (h === 1 ? words.hour : words.hours)
    }
    return m + " " + (m === 1 ? words.min : words.mins)
}

// Which detail block a result screen shows for a product type. The capping
// products have a block on the valid screen only.
function detailKind(type, capping) {
    switch (Number(type)) {
    case 0:
        return "transfer"
    case 5:
    case 12:
        return "trips"
    case 16:
        return capping ? "trips" : ""
    case 14:
        return "transferBalance"
    case 8:
        return "period"
    case 2:
        return "purse"
    case 15:
        return capping ? "purse" : ""
    default:
        return ""
    }
}

function currencyText(value, locale) {
    var n = Number(value)
    return (isFinite(n) ? n : 0).toLocaleCurrencyString(locale)
}

function dateText(value, locale) {
    if (!value || !(value instanceof Date) || isNaN(value.getTime()))
        return ""
    return value.toLocaleDateString(locale, "d MMM yy")
}

function plainNumber(value) {
    var n = Number(value)
    return isFinite(n) ? String(n) : "0"
}
