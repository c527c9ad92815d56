import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/screens"

Item {
    id: window
    width: 960
    height: 680

    Valid {
        id: valid
        width: 480
        height: 680
    }

    AlreadyValid {
        id: alreadyValid
        x: 480
        width: 480
        height: 680
    }

    TestCase {
        name: "ResultScreens"
        when: windowShown

        function test_period_data() {
            return [{
                        "tag": "one minute",
                        "minutes": 1,
                        "text": "1 min"
                    }, {
                        "tag": "90",
                        "minutes": 90,
                        "text": "90 mins"
                    }, {
                        "tag": "120",
                        "minutes": 120,
                        "text": "120 mins"
                    }, {
                        "tag": "121",
                        "minutes": 121,
                        "text": "2 hours"
                    }, {
                        "tag": "150 rounds half up",
                        "minutes": 150,
                        "text": "3 hours"
                    }, {
                        "tag": "1440",
                        "minutes": 1440,
                        "text": "24 hours"
                    }, {
                        "tag": "1441",
                        "minutes": 1441,
                        "text": "1 day"
                    }, {
                        "tag": "2160 rounds half up",
                        "minutes": 2160,
                        "text": "2 days"
                    }, {
                        "tag": "zero",
                        "minutes": 0,
                        "text": "0 mins"
                    }]
        }

        function test_period(data) {
            compare(valid.periodText(data.minutes), data.text)
            compare(alreadyValid.periodText(data.minutes), data.text)
        }

        function details(type) {
            return {
                "type": type,
                "fareProduct": "Product",
                "denyReason": "",
                "details": {
                    "transferRemainingMin": 45,
                    "remaining": type === 2 || type === 14 || type === 15 ? 8.8 : 2880,
                    "deducted": 1.2,
                    "expires": new Date(2026, 2, 5, 12, 0, 0)
                }
            }
        }

        // The block each product type selects, on the valid and the
        // already-validated screen: kind, left label, right label.
        function test_block_data() {
            return [{
                        "tag": "barcode",
                        "type": 0,
                        "valid": ["transfer", "Remaining", ""],
                        "already": ["transfer", "Remaining", ""]
                    }, {
                        "tag": "e-purse",
                        "type": 2,
                        "valid": ["purse", "Deducted", "Balance"],
                        "already": ["purse", "Deducted", "Balance"]
                    }, {
                        "tag": "stored journeys",
                        "type": 5,
                        "valid": ["trips", "Remaining", "Trips"],
                        "already": ["trips", "Remaining", "Trips"]
                    }, {
                        "tag": "period pass",
                        "type": 8,
                        "valid": ["period", "Remaining", "Expires"],
                        "already": ["period", "Remaining", "Expires"]
                    }, {
                        "tag": "EMV",
                        "type": 10,
                        "valid": ["", "", ""],
                        "already": ["", "", ""]
                    }, {
                        "tag": "transfer",
                        "type": 12,
                        "valid": ["trips", "Remaining", "Trips"],
                        "already": ["trips", "Remaining", "Trips"]
                    }, {
                        "tag": "passenger type update",
                        "type": 13,
                        "valid": ["", "", ""],
                        "already": ["", "", ""]
                    }, {
                        "tag": "transfer e-purse",
                        "type": 14,
                        "valid": ["transferBalance", "Remaining", "Balance"],
                        "already": ["transferBalance", "Remaining", "Balance"]
                    }, {
                        "tag": "capping e-purse",
                        "type": 15,
                        "valid": ["purse", "Deducted", "Balance"],
                        "already": ["", "", ""]
                    }, {
                        "tag": "capping stored journeys",
                        "type": 16,
                        "valid": ["trips", "Remaining", "Trips"],
                        "already": ["", "", ""]
                    }, {
                        "tag": "unknown",
                        "type": 99,
                        "valid": ["", "", ""],
                        "already": ["", "", ""]
                    }]
        }

        function checkBlock(screen, expected) {
            var block = findChild(screen, "details")
            compare(screen.detailKind, expected[0])
            compare(block.visible, expected[0] !== "")
            compare(block.kind, expected[0])
            if (expected[0] === "")
                return
            compare(findChild(block, "leftLabel").text, expected[1])
            compare(findChild(block, "rightLabel").visible, expected[2] !== "")
            if (expected[2] !== "")
                compare(findChild(block, "rightLabel").text, expected[2])
        }

        function test_block(data) {
            manager.setTransaction(details(data.type))
            checkBlock(valid, data.valid)
            checkBlock(alreadyValid, data.already)
        }

        function test_values_data() {
            return [{
                        "tag": "period pass",
                        "type": 8,
                        "left": "2 days",
                        "right": "5 Mar 26"
                    }, {
                        "tag": "stored journeys",
                        "type": 5,
                        "left": "45 mins",
                        "right": "2880"
                    }, {
                        "tag": "e-purse",
                        "type": 2,
                        "left": Number(1.2).toLocaleCurrencyString(Qt.locale()),
                        "right": Number(8.8).toLocaleCurrencyString(Qt.locale())
                    }]
        }

        function test_values(data) {
            manager.setTransaction(details(data.type))
            var block = findChild(valid, "details")
            compare(findChild(block, "leftValue").text, data.left)
            compare(findChild(block, "rightValue").text, data.right)
        }

        // Currency follows the language: Greek notation after switching to el_GR.
        function test_localeFollowsLanguage() {
            manager.setTransaction(details(2))
            manager.language = "el_GR"
            var block = findChild(valid, "details")
            compare(findChild(block, "rightValue").text, "8,80\u00a0€")
            compare(findChild(block, "leftLabel").text, "Αφαιρέθηκαν")
            compare(valid.periodText(2160), "2 ημέρες")
            manager.language = "en_IE"
            compare(findChild(block, "rightValue").text, "€8.80")
            compare(findChild(block, "leftLabel").text, "Deducted")
        }
    }
}
