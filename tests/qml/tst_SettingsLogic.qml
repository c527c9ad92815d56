import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/screens/settings/SettingsLogic.js" as Logic

TestCase {
    name: "SettingsLogic"

    function test_pinKeys() {
        var pin = ""
        for (var key of ["1", "2", "x", "", "12", "3"])
            pin = Logic.pinAppend(pin, key)
        compare(pin, "123", "only single digits are taken")
        var longPin = ""
        for (var i = 0; i < 40; ++i)
            longPin = Logic.pinAppend(longPin, "9")
        compare(longPin.length, 40, "no length limit")
        compare(Logic.pinBackspace("123"), "12")
        compare(Logic.pinBackspace("1"), "")
        compare(Logic.pinBackspace(""), "", "backspace on nothing stays empty")
    }

    function test_statusRole_data() {
        return [{
                    "tag": "online",
                    "status": "online",
                    "role": "green"
                }, {
                    "tag": "offline",
                    "status": "offline",
                    "role": "red"
                }, {
                    "tag": "init",
                    "status": "init",
                    "role": "amber"
                }, {
                    "tag": "out-of-service",
                    "status": "out-of-service",
                    "role": "amber"
                }, {
                    "tag": "degraded",
                    "status": "degraded",
                    "role": "amber"
                }, {
                    "tag": "empty",
                    "status": "",
                    "role": "green"
                }]
    }
    function test_statusRole(row) {
        compare(Logic.validatorStatusRole(row.status), row.role)
    }

    function test_configDiffers() {
        var stored = {
            "obuUrl": "http://127.0.0.1:8080/obc",
            "passbackSecs": 60,
            "passbackQrEnabled": false,
            "shutdownDelaySec": 30,
            "showErrorDesc": true
        }
        var same = JSON.parse(JSON.stringify(stored))
        verify(!Logic.validatorConfigDiffers(stored, same))
        var keys = Object.keys(stored)
        for (var i = 0; i < keys.length; ++i) {
            var edited = JSON.parse(JSON.stringify(stored))
            var k = keys[i]
            edited[k] = typeof stored[k] === "boolean" ? !stored[k] : (typeof stored[k] === "number" ? stored[k] + 1 : stored[k] + "/")
            verify(Logic.validatorConfigDiffers(stored, edited), k)
        }
        // The URL is compared as text: a trailing blank is a change.
        same.obuUrl = stored.obuUrl + " "
        verify(Logic.validatorConfigDiffers(stored, same))
    }

    function test_flagAndPercent() {
        compare(Logic.languageFlag("el_GR"), "qrc:/qml/images/Flags/gr.png")
        compare(Logic.languageFlag("en_IE"), "qrc:/qml/images/Flags/uk.png")
        compare(Logic.languageFlag("en_US"), "")
        compare(Logic.percentText(42.6), "43 %")
        compare(Logic.percentText(-5), "0 %")
        compare(Logic.percentText(250), "100 %")
        compare(Logic.percentText(undefined), "0 %")
    }
}
