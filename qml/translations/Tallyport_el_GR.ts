<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el_GR" sourcelanguage="en">
<context>
    <name>AlreadyValid</name>
    <message>
        <source>ALREADY VALIDATED</source>
        <translation>ΗΔΗ ΕΠΙΚΥΡΩΜΕΝΟ</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Deducted</source>
        <translation>Αφαιρέθηκαν</translation>
    </message>
    <message>
        <source>Expires</source>
        <translation>Λήγει</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Trips</source>
        <translation>Διαδρομές</translation>
    </message>
    <message>
        <source>day</source>
        <translation>ημέρα</translation>
    </message>
    <message>
        <source>days</source>
        <translation>ημέρες</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>ώρα</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>ώρες</translation>
    </message>
    <message>
        <source>min</source>
        <translation>λεπτό</translation>
    </message>
    <message>
        <source>mins</source>
        <translation>λεπτά</translation>
    </message>
</context>
<context>
    <name>CustomPopup</name>
    <message>
        <source>Yes</source>
        <translation>Ναι</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Όχι</translation>
    </message>
</context>
<context>
    <name>Diagnostics</name>
    <message>
        <source>Barcode</source>
        <translation>Barcode</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>Πλακέτα</translation>
    </message>
    <message>
        <source>Brightness : </source>
        <translation>Φωτεινότητα : </translation>
    </message>
    <message>
        <source>Buzzer</source>
        <translation>Βομβητής</translation>
    </message>
    <message>
        <source>CARD DETECTED
%1
%2</source>
        <translation>ΚΑΡΤΑ ΑΝΙΧΝΕΥΤΗΚΕ
%1
%2</translation>
    </message>
    <message>
        <source>Can you hear the buzzer?</source>
        <translation>Ακούτε τον βομβητή;</translation>
    </message>
    <message>
        <source>Can you hear the internal speaker?</source>
        <translation>Ακούτε το εσωτερικό ηχείο;</translation>
    </message>
    <message>
        <source>Can you see the LEDs flashing?</source>
        <translation>Βλέπετε τα LED να αναβοσβήνουν;</translation>
    </message>
    <message>
        <source>FINISH</source>
        <translation>ΤΕΛΟΣ</translation>
    </message>
    <message>
        <source>Ignition</source>
        <translation>Ανάφλεξη</translation>
    </message>
    <message>
        <source>Is LCD brightness adjusting?</source>
        <translation>Προσαρμόζεται η φωτεινότητα της οθόνης;</translation>
    </message>
    <message>
        <source>LEDs</source>
        <translation>LED</translation>
    </message>
    <message>
        <source>Light Sensor : </source>
        <translation>Αισθητήρας φωτός : </translation>
    </message>
    <message>
        <source>Pole ID</source>
        <translation>Αναγνωριστικό στύλου</translation>
    </message>
    <message>
        <source>RFID</source>
        <translation>RFID</translation>
    </message>
    <message>
        <source>RGB</source>
        <translation>RGB</translation>
    </message>
    <message>
        <source>SD Card</source>
        <translation>Κάρτα SD</translation>
    </message>
    <message>
        <source>Scan a barcode</source>
        <translation>Σαρώστε ένα barcode</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Αισθητήρας</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Σειριακή</translation>
    </message>
    <message>
        <source>Serial Port</source>
        <translation>Σειριακή θύρα</translation>
    </message>
    <message>
        <source>Speaker</source>
        <translation>Ηχείο</translation>
    </message>
    <message>
        <source>System Voltage</source>
        <translation>Τάση συστήματος</translation>
    </message>
    <message>
        <source>Tap a card</source>
        <translation>Ακουμπήστε μια κάρτα</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Θερμοκρασία</translation>
    </message>
    <message>
        <source>Touch</source>
        <translation>Οθόνη αφής</translation>
    </message>
    <message>
        <source>Was the RGB test successful?</source>
        <translation>Ήταν επιτυχής η δοκιμή RGB;</translation>
    </message>
</context>
<context>
    <name>Ethernet</name>
    <message>
        <source>Configure</source>
        <translation>Ρύθμιση</translation>
    </message>
    <message>
        <source>Connection State</source>
        <translation>Κατάσταση σύνδεσης</translation>
    </message>
    <message>
        <source>IPv4 Address</source>
        <translation>Διεύθυνση IPv4</translation>
    </message>
    <message>
        <source>IPv4 DNS#0</source>
        <translation>DNS#0 IPv4</translation>
    </message>
    <message>
        <source>IPv4 DNS#1</source>
        <translation>DNS#1 IPv4</translation>
    </message>
    <message>
        <source>IPv4 Gateway</source>
        <translation>Πύλη IPv4</translation>
    </message>
    <message>
        <source>IPv4 Netmask</source>
        <translation>Μάσκα IPv4</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Διεπαφή</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Κατάσταση</translation>
    </message>
    <message>
        <source>State Change Reason</source>
        <translation>Αιτία αλλαγής κατάστασης</translation>
    </message>
</context>
<context>
    <name>EthernetConfig</name>
    <message>
        <source>Back</source>
        <translation>Πίσω</translation>
    </message>
    <message>
        <source>DNS #0</source>
        <translation>DNS #0</translation>
    </message>
    <message>
        <source>DNS #1</source>
        <translation>DNS #1</translation>
    </message>
    <message>
        <source>Ethernet Configuration</source>
        <translation>Ρύθμιση Ethernet</translation>
    </message>
    <message>
        <source>IPV4 Address</source>
        <translation>Διεύθυνση IPV4</translation>
    </message>
    <message>
        <source>IPV4 Gateway</source>
        <translation>Πύλη IPV4</translation>
    </message>
    <message>
        <source>IPV4 Netmask</source>
        <translation>Μάσκα IPV4</translation>
    </message>
    <message>
        <source>IPv4 DNS #0 is not a valid IP address</source>
        <translation>Ο DNS #0 IPv4 δεν είναι έγκυρη διεύθυνση IP</translation>
    </message>
    <message>
        <source>IPv4 DNS #1 is not a valid IP address</source>
        <translation>Ο DNS #1 IPv4 δεν είναι έγκυρη διεύθυνση IP</translation>
    </message>
    <message>
        <source>IPv4 address cannot be empty in &apos;manual&apos; mode</source>
        <translation>Η διεύθυνση IPv4 δεν μπορεί να είναι κενή σε χειροκίνητη λειτουργία</translation>
    </message>
    <message>
        <source>IPv4 address is not a valid IP address</source>
        <translation>Η διεύθυνση IPv4 δεν είναι έγκυρη διεύθυνση IP</translation>
    </message>
    <message>
        <source>IPv4 gateway is not a valid IP address</source>
        <translation>Η πύλη IPv4 δεν είναι έγκυρη διεύθυνση IP</translation>
    </message>
    <message>
        <source>IPv4 netmask cannot be empty in &apos;manual&apos; mode</source>
        <translation>Η μάσκα IPv4 δεν μπορεί να είναι κενή σε χειροκίνητη λειτουργία</translation>
    </message>
    <message>
        <source>IPv4 netmask is not a valid IP address</source>
        <translation>Η μάσκα IPv4 δεν είναι έγκυρη διεύθυνση IP</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Λειτουργία</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Αποθήκευση</translation>
    </message>
</context>
<context>
    <name>EventLog</name>
    <message>
        <source>All history</source>
        <translation>Όλο το ιστορικό</translation>
    </message>
    <message>
        <source>All messages</source>
        <translation>Όλα τα μηνύματα</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>ΑΠΑΛΟΙΦΗ</translation>
    </message>
    <message>
        <source>Critical</source>
        <translation>Κρίσιμα</translation>
    </message>
    <message>
        <source>Last 2 hours</source>
        <translation>Τελευταίες 2 ώρες</translation>
    </message>
    <message>
        <source>Last hour</source>
        <translation>Τελευταία ώρα</translation>
    </message>
    <message>
        <source>Last month</source>
        <translation>Τελευταίος μήνας</translation>
    </message>
    <message>
        <source>Last week</source>
        <translation>Τελευταία εβδομάδα</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Αναζήτηση</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Σήμερα</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Προειδοποιήσεις</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Χθες</translation>
    </message>
</context>
<context>
    <name>GUIManager</name>
    <message>
        <source>Initializing</source>
        <translation>Αρχικοποίηση</translation>
    </message>
    <message>
        <source>Please Wait</source>
        <translation>Παρακαλώ Περιμένετε</translation>
    </message>
    <message>
        <source>Rebooting</source>
        <translation>Επανεκκίνηση</translation>
    </message>
    <message>
        <source>Shutting down</source>
        <translation>Τερματισμός Λειτουργίας</translation>
    </message>
    <message>
        <source>Exiting</source>
        <translation>Έξοδος</translation>
    </message>
</context>
<context>
    <name>Invalid</name>
    <message>
        <source>INVALID</source>
        <translation>ΑΚΥΡΟ</translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>LOGIN</source>
        <translation>ΕΙΣΟΔΟΣ</translation>
    </message>
    <message>
        <source>Pin</source>
        <translation>Κωδικός</translation>
    </message>
</context>
<context>
    <name>Network</name>
    <message>
        <source>Ethernet</source>
        <translation>Ethernet</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Γενικά</translation>
    </message>
</context>
<context>
    <name>NetworkPri</name>
    <message>
        <source>Connection State</source>
        <translation>Κατάσταση σύνδεσης</translation>
    </message>
    <message>
        <source>Connection Type</source>
        <translation>Τύπος σύνδεσης</translation>
    </message>
    <message>
        <source>Connectivity</source>
        <translation>Συνδεσιμότητα</translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation>Όνομα συσκευής</translation>
    </message>
    <message>
        <source>IPv4 Address</source>
        <translation>Διεύθυνση IPv4</translation>
    </message>
    <message>
        <source>IPv4 DNS</source>
        <translation>DNS IPv4</translation>
    </message>
    <message>
        <source>IPv4 Gateway</source>
        <translation>Πύλη IPv4</translation>
    </message>
    <message>
        <source>IPv4 Netmask</source>
        <translation>Μάσκα IPv4</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Διεπαφή</translation>
    </message>
    <message>
        <source>Primary Connection</source>
        <translation>Κύρια σύνδεση</translation>
    </message>
</context>
<context>
    <name>OutOfOrder</name>
    <message>
        <source>OUT OF ORDER</source>
        <translation>ΠΡΟΣΩΡΙΝΑ
ΕΚΤΟΣ ΛΕΙΤΟΥΡΓΙΑΣ</translation>
    </message>
</context>
<context>
    <name>OutOfService</name>
    <message>
        <source>OUT OF SERVICE</source>
        <translation>ΕΚΤΟΣ ΥΠΗΡΕΣΙΑΣ</translation>
    </message>
</context>
<context>
    <name>Retry</name>
    <message>
        <source>PLEASE TRY AGAIN</source>
        <translation>ΔΟΚΙΜΑΣΤΕ ΞΑΝΑ</translation>
    </message>
</context>
<context>
    <name>ScanScreens</name>
    <message>
        <source>SCAN
YOUR CARD</source>
        <translation>ΣΑΡΩΣΤΕ ΤΗΝ
ΚΑΡΤΑ ΣΑΣ</translation>
    </message>
    <message>
        <source>SCAN
YOUR TICKET</source>
        <translation>ΣΑΡΩΣΤΕ ΤΟ
ΕΙΣΙΤΗΡΙΟ ΣΑΣ</translation>
    </message>
</context>
<context>
    <name>SerialPortDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Άκυρο</translation>
    </message>
    <message>
        <source>Flow Ctrl:</source>
        <translation>Έλεγχος ροής:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Εντάξει</translation>
    </message>
    <message>
        <source>Serial Port Settings</source>
        <translation>Ρυθμίσεις σειριακής θύρας</translation>
    </message>
    <message>
        <source>Serial Port:</source>
        <translation>Σειριακή θύρα:</translation>
    </message>
</context>
<context>
    <name>Transaction</name>
    <message>
        <source>The ticket is invalid</source>
        <translation>Τα στοιχεία του εισιτηρίου δεν είναι σωστά</translation>
    </message>
    <message>
        <source>The ticket has expired</source>
        <translation>Το εισιτήριο έχει λήξει</translation>
    </message>
    <message>
        <source>The ticket is not allowed in this route</source>
        <translation>Δεν επιτρέπεται σε αυτή την διαδρομή</translation>
    </message>
    <message>
        <source>The ticket has already been validated</source>
        <translation>Το εισιτήριο έχει ήδη επικυρωθεί</translation>
    </message>
    <message>
        <source>The ticket is not yet active</source>
        <translation>Το εισιτήριο δεν είναι ενεργό</translation>
    </message>
    <message>
        <source>Please try again</source>
        <translation>Προσπαθήστε πάλι</translation>
    </message>
    <message>
        <source>The ticket does not belong to this operator</source>
        <translation>Το εισιτήριο δεν ανήκει σε αυτόν τον φορέα</translation>
    </message>
    <message>
        <source>The ticket has an invalid passenger profile</source>
        <translation>Το εισιτήριο δεν έχει σωστό προφίλ επιβάτη</translation>
    </message>
    <message>
        <source>The ticket is not allowed in this axis</source>
        <translation>Δεν επιτρέπεται σε αυτή την διαδρομή</translation>
    </message>
    <message>
        <source>The ticket is not allowed in this zone</source>
        <translation>Δεν επιτρέπεται σε αυτή την ζώνη</translation>
    </message>
    <message>
        <source>The ticket has invalid timestamp</source>
        <translation>Το εισιτήριο δεν έχει σωστή χρονική σήμανση</translation>
    </message>
    <message>
        <source>The card is invalid</source>
        <translation>Άκυρη κάρτα</translation>
    </message>
    <message>
        <source>The card has expired</source>
        <translation>Η κάρτα έχει λήξει</translation>
    </message>
    <message>
        <source>The card is not allowed in this route</source>
        <translation>Δεν επιτρέπεται σε αυτή την διαδρομή</translation>
    </message>
    <message>
        <source>The card has already been validated</source>
        <translation>Η κάρτα έχει ήδη επικυρωθεί</translation>
    </message>
    <message>
        <source>The card does not have enough trips</source>
        <translation>Ανεπαρκές υπόλοιπο διαδρομών</translation>
    </message>
    <message>
        <source>The card does not have sufficient balance</source>
        <translation>Ανεπαρκές υπόλοιπο</translation>
    </message>
    <message>
        <source>This card can no longer be used</source>
        <translation>Η κάρτα δεν μπορεί να χρησιμοποιηθεί και χρειάζεται αντικατάσταση</translation>
    </message>
    <message>
        <source>The card is not active</source>
        <translation>Η κάρτα δεν έχει ενεργοποιηθεί</translation>
    </message>
    <message>
        <source>The card does not belong to this operator</source>
        <translation>Η κάρτα δεν ανήκει σε αυτό τον φορέα</translation>
    </message>
    <message>
        <source>Insufficient balance</source>
        <translation>Ανεπαρκές υπόλοιπο</translation>
    </message>
    <message>
        <source>Temporarily not available</source>
        <translation>Προσωρινά μη διαθέσιμο</translation>
    </message>
    <message>
        <source>The card is blocked</source>
        <translation>Η κάρτα είναι στην λίστα μη αποδεκτών καρτών</translation>
    </message>
    <message>
        <source>The product is blocked</source>
        <translation>Το προιόν δεν μπορεί να χρησιμοποιηθεί</translation>
    </message>
    <message>
        <source>The product is not yet active</source>
        <translation>Το προιόν δεν είναι ενεργό</translation>
    </message>
    <message>
        <source>Internal Error</source>
        <translation>Εσωτερικό Σφάλμα</translation>
    </message>
    <message>
        <source>Unknown Error</source>
        <translation>Άγνωστο Σφάλμα</translation>
    </message>
</context>
<context>
    <name>Update</name>
    <message>
        <source>Check</source>
        <translation>Έλεγχος</translation>
    </message>
    <message>
        <source>Current Version</source>
        <translation>Τρέχουσα έκδοση</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Εγκατάσταση</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Καμία</translation>
    </message>
    <message>
        <source>Pending Version</source>
        <translation>Εκκρεμής έκδοση</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Πρόοδος</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Ενημέρωση λογισμικού</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Κατάσταση</translation>
    </message>
</context>
<context>
    <name>Valid</name>
    <message>
        <source>Balance</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Deducted</source>
        <translation>Αφαιρέθηκαν</translation>
    </message>
    <message>
        <source>Expires</source>
        <translation>Λήγει</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Trips</source>
        <translation>Διαδρομές</translation>
    </message>
    <message>
        <source>day</source>
        <translation>ημέρα</translation>
    </message>
    <message>
        <source>days</source>
        <translation>ημέρες</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>ώρα</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>ώρες</translation>
    </message>
    <message>
        <source>min</source>
        <translation>λεπτό</translation>
    </message>
    <message>
        <source>mins</source>
        <translation>λεπτά</translation>
    </message>
    <message>
        <source>VALID</source>
        <translation>ΕΓΚΥΡΟ</translation>
    </message>
</context>
</TS>
