<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
    <context>
        <name>Tamrix</name>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Boolean</source>
            <translation>Wahrheitswert</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Number</source>
            <translation>Zahl</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Date</source>
            <translation>Datum</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Binary</source>
            <translation>Binärdaten</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Array</source>
            <translation>Liste</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Dictionary</source>
            <translation>Verzeichnis</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>String</source>
            <translation>Text</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>Item #%d</source>
            <translation>Element Nr. %d</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>%d sub-items</source>
            <translation>%d Unterelemente</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>YES</source>
            <translation>JA</translation>
        </message>
        <message>
            <location filename="model/TRKey.cpp" />
            <source>NO</source>
            <translation>NEIN</translation>
        </message>
        <message>
            <location filename="model/TRKeyCoding.cpp" />
            <source>A key's domain is not a text.</source>
            <translation>Die Domäne eines Schlüssels ist kein Text.</translation>
        </message>
        <message>
            <location filename="model/TRKeyCoding.cpp" />
            <source>A key's name is neither a number nor a text.</source>
            <translation>Der Name eines Schlüssels ist weder eine Zahl noch ein Text.</translation>
        </message>
        <message>
            <location filename="model/TRKeyCoding.cpp" />
            <source>A key's value is a container that does not hold keys.</source>
            <translation>Der Wert eines Schlüssels ist ein Behälter, der keine Schlüssel enthält.</translation>
        </message>
        <message>
            <location filename="model/TRKeyCoding.cpp" />
            <source>A dictionary holds the same key twice.</source>
            <translation>Ein Verzeichnis enthält denselben Schlüssel zweimal.</translation>
        </message>
        <message>
            <location filename="domains/TRKeyOutlineModel.cpp" />
            <source>Key</source>
            <translation>Schlüssel</translation>
        </message>
        <message>
            <location filename="domains/TRKeyOutlineModel.cpp" />
            <source>Type</source>
            <translation>Typ</translation>
        </message>
        <message>
            <location filename="domains/TRKeyOutlineModel.cpp" />
            <source>Value</source>
            <translation>Wert</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>A domain is described as {"domain": name, "root": {"dict": ...}}.</source>
            <translation>Eine Domäne wird als {"domain": Name, "root": {"dict": ...}} beschrieben.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>The root of the domain %@ is not a dictionary.</source>
            <translation>Die Wurzel der Domäne %@ ist kein Verzeichnis.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>A child's name is a whole number, a text or null.</source>
            <translation>Der Name eines Unterelements ist eine ganze Zahl, ein Text oder null.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>A value is described as an object with one member, such as {"string": "text"}.</source>
            <translation>Ein Wert wird als Objekt mit einem Element beschrieben, etwa {"string": "Text"}.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>The value {"%@": ...} is not valid.</source>
            <translation>Der Wert {"%@": ...} ist ungültig.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>The values are nested deeper than %@ levels.</source>
            <translation>Die Werte sind tiefer als %@ Ebenen verschachtelt.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>An array is described as {"array": [...]}.</source>
            <translation>Eine Liste wird als {"array": [...]} beschrieben.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>A dictionary is described as {"dict": {...}}.</source>
            <translation>Ein Verzeichnis wird als {"dict": {...}} beschrieben.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>Not a JSON text (at offset %@): %@</source>
            <translation>Kein JSON-Text (an Position %@): %@</translation>
        </message>
        <message>
            <location filename="domains/archive/TRArchiveDescription.cpp" />
            <source>"domains" must be a list of domains.</source>
            <translation>„domains“ muss eine Liste von Domänen sein.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>A single-domain archive needs exactly one domain.</source>
            <translation>Ein Archiv für eine Domäne braucht genau eine Domäne.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>The keys are too many for one exchange file.</source>
            <translation>Es sind zu viele Schlüssel für eine Austauschdatei.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>A key holds a value that cannot be archived.</source>
            <translation>Ein Schlüssel enthält einen Wert, der sich nicht archivieren lässt.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>The text %@ cannot be stored in an exchange file: it reads back as no value.</source>
            <translation>Der Text %@ kann nicht in einer Austauschdatei gespeichert werden: Er würde als fehlender Wert zurückgelesen.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>The keys are nested deeper than %@ levels.</source>
            <translation>Die Schlüssel sind tiefer als %@ Ebenen verschachtelt.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>The list of domains holds an empty entry.</source>
            <translation>Die Liste der Domänen enthält einen leeren Eintrag.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRBinaryArchiveWriter.cpp" />
            <source>The exchange file could not be laid out.</source>
            <translation>Die Austauschdatei konnte nicht aufgebaut werden.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRDomainControllerCoding.cpp" />
            <source>A domain's name is not a text.</source>
            <translation>Der Name einer Domäne ist kein Text.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRDomainControllerCoding.cpp" />
            <source>The root key of the domain %@ does not hold a dictionary.</source>
            <translation>Der Wurzelschlüssel der Domäne %@ enthält kein Verzeichnis.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedArchiver.cpp" />
            <source>Cannot write %@: %@</source>
            <translation>%@ kann nicht geschrieben werden: %@</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>Not a keyed archive: the property list lacks $archiver, $top or $objects.</source>
            <translation>Kein Schlüsselarchiv: Der Eigenschaftsliste fehlt $archiver, $top oder $objects.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>Unsupported keyed archive version %@.</source>
            <translation>Nicht unterstützte Version %@ des Schlüsselarchivs.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>Cannot read %@: %@</source>
            <translation>%@ kann nicht gelesen werden: %@</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>%@ is not a file.</source>
            <translation>%@ ist keine Datei.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>%@ is too large to be an exchange file.</source>
            <translation>%@ ist zu groß für eine Austauschdatei.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>Not a keyed archive: %@</source>
            <translation>Kein Schlüsselarchiv: %@</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>Not a keyed archive: a keyed archive is a binary or XML property list.</source>
            <translation>Kein Schlüsselarchiv: Ein Schlüsselarchiv ist eine binäre oder XML-Eigenschaftsliste.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>The archive has no root object.</source>
            <translation>Das Archiv hat kein Wurzelobjekt.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>The archive's root object is neither a domain nor a list of domains.</source>
            <translation>Das Wurzelobjekt des Archivs ist weder eine Domäne noch eine Liste von Domänen.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>the list of domains holds something other than a domain.</source>
            <translation>Die Liste der Domänen enthält etwas anderes als eine Domäne.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>Archive object %@: %@</source>
            <translation>Archivobjekt %@: %@</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a plain value</source>
            <translation>ein einfacher Wert</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>its class record has no $classname.</source>
            <translation>Sein Klasseneintrag hat keinen $classname.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>objects of class %@ are not accepted in an exchange file.</source>
            <translation>Objekte der Klasse %@ sind in einer Austauschdatei nicht zulässig.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>the object contains itself.</source>
            <translation>Das Objekt enthält sich selbst.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a key, container or domain is used in more than one place.</source>
            <translation>Ein Schlüssel, Behälter oder eine Domäne wird an mehr als einer Stelle verwendet.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a value has the wrong shape.</source>
            <translation>Ein Wert hat die falsche Form.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a string record has no NS.string text.</source>
            <translation>Ein Texteintrag hat keinen NS.string-Text.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a data record has no NS.data bytes.</source>
            <translation>Ein Dateneintrag hat keine NS.data-Bytes.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a date record has no NS.time number.</source>
            <translation>Ein Datumseintrag hat keine NS.time-Zahl.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>found %@ where a value belongs.</source>
            <translation>%@ gefunden, wo ein Wert hingehört.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>found %@ where a key belongs.</source>
            <translation>%@ gefunden, wo ein Schlüssel hingehört.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>nothing</source>
            <translation>nichts</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>the keys are nested deeper than %@ levels.</source>
            <translation>Die Schlüssel sind tiefer als %@ Ebenen verschachtelt.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a dictionary has not as many keys as values.</source>
            <translation>Ein Verzeichnis hat nicht so viele Schlüssel wie Werte.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a dictionary key is $null or missing.</source>
            <translation>Ein Verzeichnisschlüssel ist $null oder fehlt.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiver.cpp" />
            <source>a dictionary key is not a text.</source>
            <translation>Ein Verzeichnisschlüssel ist kein Text.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiverObjects.cpp" />
            <source>The archive refers to object %@, but it holds only %@ objects.</source>
            <translation>Das Archiv verweist auf Objekt %@, enthält aber nur %@ Objekte.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiverObjects.cpp" />
            <source>The archive holds %@ where a reference to an object belongs.</source>
            <translation>Das Archiv enthält %@, wo ein Verweis auf ein Objekt hingehört.</translation>
        </message>
        <message>
            <location filename="domains/archive/TRKeyedUnarchiverObjects.cpp" />
            <source>the record has no %@ list.</source>
            <translation>Der Eintrag hat keine %@-Liste.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistReader.cpp" />
            <source>nesting too deep</source>
            <translation>zu tief verschachtelt</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistReader.cpp" />
            <source>reference cycle</source>
            <translation>Verweiszyklus</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistReader.cpp" />
            <source>object used more often than referenced</source>
            <translation>Objekt öfter verwendet als verwiesen</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistReader.cpp" />
            <source>dictionary key is not a string</source>
            <translation>Verzeichnisschlüssel ist kein Text</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistReader.cpp" />
            <source>duplicate dictionary key</source>
            <translation>doppelter Verzeichnisschlüssel</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>The binary property list is damaged at byte %@: %@.</source>
            <translation>Die binäre Eigenschaftsliste ist bei Byte %@ beschädigt: %@.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>not a binary property list of version 00</source>
            <translation>keine binäre Eigenschaftsliste der Version 00</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>the file is truncated</source>
            <translation>die Datei ist abgeschnitten</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>offset width out of range</source>
            <translation>Breite der Positionsangaben außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>reference width out of range</source>
            <translation>Breite der Verweise außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>the file holds no object</source>
            <translation>die Datei enthält kein Objekt</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>top object out of range</source>
            <translation>oberstes Objekt außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>offset table out of range</source>
            <translation>Positionstabelle außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>object count larger than the offset table</source>
            <translation>Objektanzahl größer als die Positionstabelle</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>the object is truncated</source>
            <translation>das Objekt ist abgeschnitten</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>bad length of an object</source>
            <translation>ungültige Länge eines Objekts</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>object offset out of range</source>
            <translation>Objektposition außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>unknown object type</source>
            <translation>unbekannter Objekttyp</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>bad integer width</source>
            <translation>ungültige Breite einer Ganzzahl</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>bad date width</source>
            <translation>ungültige Breite eines Datums</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>bad real width</source>
            <translation>ungültige Breite einer Gleitkommazahl</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>UID wider than 8 bytes</source>
            <translation>UID breiter als 8 Bytes</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>object reference out of range</source>
            <translation>Objektverweis außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>too many keys looked up at once</source>
            <translation>zu viele Schlüssel auf einmal nachgeschlagen</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>non-ASCII byte in an ASCII string</source>
            <translation>Nicht-ASCII-Byte in einem ASCII-Text</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>a text was expected</source>
            <translation>ein Text wurde erwartet</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>integer out of range</source>
            <translation>Ganzzahl außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistView.cpp" />
            <source>a container where a plain value belongs</source>
            <translation>ein Behälter, wo ein einfacher Wert hingehört</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistWriter.cpp" />
            <source>The value is nested deeper than %@ levels.</source>
            <translation>Der Wert ist tiefer als %@ Ebenen verschachtelt.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRBinaryPlistWriter.cpp" />
            <source>A value without content cannot be written to a property list.</source>
            <translation>Ein Wert ohne Inhalt kann nicht in eine Eigenschaftsliste geschrieben werden.</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>The text property list is malformed at line %@, column %@: %@.</source>
            <translation>Die Eigenschaftsliste in Textform ist in Zeile %@, Spalte %@ fehlerhaft: %@.</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>The text property list is not valid UTF-16.</source>
            <translation>Die Eigenschaftsliste in Textform ist kein gültiges UTF-16.</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>The text property list is not valid UTF-8 at byte %@.</source>
            <translation>Die Eigenschaftsliste in Textform ist bei Byte %@ kein gültiges UTF-8.</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>the text holds no value</source>
            <translation>der Text enthält keinen Wert</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>text after the value</source>
            <translation>Text nach dem Wert</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unterminated comment</source>
            <translation>nicht abgeschlossener Kommentar</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>nested deeper than %@ levels</source>
            <translation>tiefer als %@ Ebenen verschachtelt</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unterminated array</source>
            <translation>nicht abgeschlossene Liste</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>expected “,” or “)”</source>
            <translation>„,“ oder „)“ erwartet</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unterminated dictionary</source>
            <translation>nicht abgeschlossenes Verzeichnis</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>expected “=” after a key</source>
            <translation>„=“ nach einem Schlüssel erwartet</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>a key without a value</source>
            <translation>ein Schlüssel ohne Wert</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>expected “;” after a value</source>
            <translation>„;“ nach einem Wert erwartet</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>duplicate key “%@”</source>
            <translation>doppelter Schlüssel „%@“</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unexpected end of text</source>
            <translation>unerwartetes Textende</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unexpected character</source>
            <translation>unerwartetes Zeichen</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unterminated string</source>
            <translation>nicht abgeschlossener Text</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>a \U escape without hexadecimal digits</source>
            <translation>eine \U-Escape-Sequenz ohne Hexadezimalziffern</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unterminated data</source>
            <translation>nicht abgeschlossene Binärdaten</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>not an integer, or out of range</source>
            <translation>keine Ganzzahl oder außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>not a real number, or out of range</source>
            <translation>keine Gleitkommazahl oder außerhalb des zulässigen Bereichs</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>a boolean must be &lt;*BY&gt; or &lt;*BN&gt;</source>
            <translation>ein Wahrheitswert muss &lt;*BY&gt; oder &lt;*BN&gt; sein</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>not a date of the form YYYY-MM-DD hh:mm:ss +zzzz</source>
            <translation>kein Datum der Form JJJJ-MM-TT hh:mm:ss +zzzz</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unknown typed value</source>
            <translation>unbekannter typisierter Wert</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>unterminated base64 data</source>
            <translation>nicht abgeschlossene Base64-Daten</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>bad base64 data</source>
            <translation>ungültige Base64-Daten</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>bad hexadecimal digit in data</source>
            <translation>ungültige Hexadezimalziffer in Binärdaten</translation>
        </message>
        <message>
            <location filename="domains/plist/TROpenStepReader.cpp" />
            <source>odd number of hexadecimal digits in data</source>
            <translation>ungerade Anzahl von Hexadezimalziffern in Binärdaten</translation>
        </message>
        <message>
            <location filename="domains/plist/TRPropertyList.cpp" />
            <source>The file is empty.</source>
            <translation>Die Datei ist leer.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRPropertyList.cpp" />
            <source>Property lists are written as XML or binary, not in the text form.</source>
            <translation>Eigenschaftslisten werden als XML oder binär geschrieben, nicht in Textform.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>The XML property list is malformed at line %@, column %@: %@.</source>
            <translation>Die XML-Eigenschaftsliste ist in Zeile %@, Spalte %@ fehlerhaft: %@.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>The XML property list is not valid UTF-16.</source>
            <translation>Die XML-Eigenschaftsliste ist kein gültiges UTF-16.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>the text is not valid UTF-8</source>
            <translation>der Text ist kein gültiges UTF-8</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unterminated processing instruction</source>
            <translation>nicht abgeschlossene Verarbeitungsanweisung</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unterminated DOCTYPE</source>
            <translation>nicht abgeschlossene DOCTYPE-Angabe</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>malformed tag</source>
            <translation>fehlerhaftes Tag</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unterminated tag</source>
            <translation>nicht abgeschlossenes Tag</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>malformed attribute</source>
            <translation>fehlerhaftes Attribut</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>&lt;/%@&gt; does not close &lt;%@&gt;</source>
            <translation>&lt;/%@&gt; schließt nicht &lt;%@&gt;</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>&lt;%@&gt; is not closed</source>
            <translation>&lt;%@&gt; ist nicht geschlossen</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>text outside a value</source>
            <translation>Text außerhalb eines Werts</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>no root element</source>
            <translation>kein Wurzelelement</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>text outside the root element</source>
            <translation>Text außerhalb des Wurzelelements</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unknown root element &lt;%@&gt;</source>
            <translation>unbekanntes Wurzelelement &lt;%@&gt;</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>the property list holds no value</source>
            <translation>die Eigenschaftsliste enthält keinen Wert</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a second root object</source>
            <translation>ein zweites Wurzelobjekt</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a second root element</source>
            <translation>ein zweites Wurzelelement</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a lone “&amp;” or a malformed entity</source>
            <translation>ein einzelnes „&amp;“ oder eine fehlerhafte Entität</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>bad character reference</source>
            <translation>ungültige Zeichenreferenz</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a character reference to a character XML does not allow</source>
            <translation>eine Zeichenreferenz auf ein Zeichen, das XML nicht erlaubt</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unknown entity “&amp;%@;”</source>
            <translation>unbekannte Entität „&amp;%@;“</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unterminated CDATA section</source>
            <translation>nicht abgeschlossener CDATA-Abschnitt</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unexpected element inside &lt;%@&gt;</source>
            <translation>unerwartetes Element innerhalb von &lt;%@&gt;</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a character XML does not allow</source>
            <translation>ein Zeichen, das XML nicht erlaubt</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>text inside a boolean</source>
            <translation>Text innerhalb eines Wahrheitswerts</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>not a date of the form YYYY-MM-DDThh:mm:ssZ</source>
            <translation>kein Datum der Form JJJJ-MM-TTThh:mm:ssZ</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a key outside a dictionary</source>
            <translation>ein Schlüssel außerhalb eines Verzeichnisses</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>unknown element &lt;%@&gt;</source>
            <translation>unbekanntes Element &lt;%@&gt;</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistReader.cpp" />
            <source>a value without a key</source>
            <translation>ein Wert ohne Schlüssel</translation>
        </message>
        <message>
            <location filename="domains/plist/TRXmlPlistWriter.cpp" />
            <source>The value holds text, a date or a kind of value that an XML property list cannot carry.</source>
            <translation>Der Wert enthält Text, ein Datum oder eine Art von Wert, die eine XML-Eigenschaftsliste nicht aufnehmen kann.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Cannot create the defaults folder %@: %@</source>
            <translation>Der Ordner der Voreinstellungen %@ kann nicht angelegt werden: %@</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStore.cpp" />
            <source>A domain name cannot be empty.</source>
            <translation>Ein Domänenname darf nicht leer sein.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStore.cpp" />
            <source>The domain name "%@" contains "/" or a NUL character.</source>
            <translation>Der Domänenname „%@“ enthält „/“ oder ein NUL-Zeichen.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStore.cpp" />
            <source>"%@" cannot be used as a domain name.</source>
            <translation>„%@“ kann nicht als Domänenname verwendet werden.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStore.cpp" />
            <source>The domain name is not valid Unicode text.</source>
            <translation>Der Domänenname ist kein gültiger Unicode-Text.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStore.cpp" />
            <source>The domain name "%@" is longer than %d bytes.</source>
            <translation>Der Domänenname „%@“ ist länger als %d Bytes.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreFiles.cpp" />
            <source>The property list's root is not a dictionary.</source>
            <translation>Die Wurzel der Eigenschaftsliste ist kein Verzeichnis.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Cannot set aside the unreadable domain file %@: %@</source>
            <translation>Die unlesbare Domänendatei %@ kann nicht beiseitegelegt werden: %@</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Cannot write the domain file %@: the domain is not a dictionary.</source>
            <translation>Die Domänendatei %@ kann nicht geschrieben werden: Die Domäne ist kein Verzeichnis.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Cannot write the domain file %@: %@</source>
            <translation>Die Domänendatei %@ kann nicht geschrieben werden: %@</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Cannot remove the domain file %@: %@</source>
            <translation>Die Domänendatei %@ kann nicht entfernt werden: %@</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Cannot flush the defaults folder %@: %@</source>
            <translation>Der Ordner der Voreinstellungen %@ kann nicht auf den Datenträger geschrieben werden: %@</translation>
        </message>
        <message>
            <location filename="editors/TRTokenField.cpp" />
            <source>Copy All</source>
            <translation>Alles kopieren</translation>
        </message>
        <message>
            <location filename="editors/TRTokenField.cpp" />
            <source>Paste</source>
            <translation>Einfügen</translation>
        </message>
        <message>
            <location filename="editors/TRTokenField.cpp" />
            <source>Clear All</source>
            <translation>Alles löschen</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>%@: %@</source>
            <translation>%@: %@</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>%@: %@ (set aside as %@)</source>
            <translation>%@: %@ (beiseitegelegt als %@)</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>A domain file could not be read and is not listed: %@</source>
            <translation>Eine Domänendatei konnte nicht gelesen werden und wird nicht angezeigt: %@</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>%d domain files could not be read and are not listed (%@)</source>
            <translation>%d Domänendateien konnten nicht gelesen werden und werden nicht angezeigt (%@)</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>%@[*] - Tamrix</source>
            <translation>%@[*] – Tamrix</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>About to quit Tamrix</source>
            <translation>Tamrix wird beendet</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>There are some unsaved changes. If you quit now, all changes will be lost. Do you wish to quit anyway?</source>
            <translation>Es gibt ungesicherte Änderungen. Wenn Sie jetzt beenden, gehen alle Änderungen verloren. Möchten Sie trotzdem beenden?</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>Save and Quit</source>
            <translation>Speichern und beenden</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>Don't Quit</source>
            <translation>Nicht beenden</translation>
        </message>
        <message>
            <location filename="app/TRAppController.cpp" />
            <source>Don't Save</source>
            <translation>Nicht speichern</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerAbout.cpp" />
            <source>https://www.example.org/tamrix/</source>
            <translation>https://www.example.org/tamrix/de/</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerAbout.cpp" />
            <source>Version 1.0</source>
            <translation>Version 1.0</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerAbout.cpp" />
            <source>Copyright %C 2026 The Tamrix developers.
Licensed under the GNU General Public License, version 3 or later.</source>
            <translation>Copyright %C 2026 Die Tamrix-Entwickler.
Lizenziert unter der GNU General Public License, Version 3 oder neuer.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerAbout.cpp" />
            <source>About %@</source>
            <translation>Über %@</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>Delete domain</source>
            <translation>Domäne löschen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>New domain</source>
            <translation>Neue Domäne</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>Cannot delete domain</source>
            <translation>Domäne kann nicht gelöscht werden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>Empty domain name</source>
            <translation>Leerer Domänenname</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>It is not possible to add a domain with empty name. Please enter a valid domain name.</source>
            <translation>Eine Domäne ohne Namen kann nicht angelegt werden. Bitte geben Sie einen gültigen Domänennamen ein.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>Invalid domain name</source>
            <translation>Ungültiger Domänenname</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>The defaults database cannot hold a domain named %@: %@ Please enter a different domain name.</source>
            <translation>Die Voreinstellungsdatenbank kann keine Domäne namens %@ aufnehmen: %@ Bitte geben Sie einen anderen Domänennamen ein.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>Domain exists</source>
            <translation>Domäne existiert bereits</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>The domain %@ already exists. Please use a different domain name.</source>
            <translation>Die Domäne %@ existiert bereits. Bitte verwenden Sie einen anderen Domänennamen.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>The defaults database already holds the domain %@, which is not in the list. Use Reload All Domains to show it, or use a different domain name.</source>
            <translation>Die Voreinstellungsdatenbank enthält bereits die Domäne %@, die nicht in der Liste steht. Zeigen Sie sie mit „Alle Domänen neu laden“ an, oder verwenden Sie einen anderen Domänennamen.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>About to delete a domain</source>
            <translation>Eine Domäne wird gelöscht</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>The domain %@ is about to be permanently deleted. Do you confirm?</source>
            <translation>Die Domäne %@ wird endgültig gelöscht. Bestätigen Sie das?</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>No</source>
            <translation>Nein</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerDomains.cpp" />
            <source>Yes</source>
            <translation>Ja</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Export domains</source>
            <translation>Domänen exportieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Import domains</source>
            <translation>Domänen importieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Export</source>
            <translation>Exportieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Import</source>
            <translation>Importieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Export as</source>
            <translation>Exportieren als</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Import from</source>
            <translation>Importieren aus</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Tamrix domains (*.tamdoms)</source>
            <translation>Tamrix-Domänen (*.tamdoms)</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Tamrix domain (*.tamdom)</source>
            <translation>Tamrix-Domäne (*.tamdom)</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>All files (*)</source>
            <translation>Alle Dateien (*)</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The file holds a domain that the defaults database cannot hold: %@</source>
            <translation>Die Datei enthält eine Domäne, die die Voreinstellungsdatenbank nicht aufnehmen kann: %@</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The file holds more than one domain named %@.</source>
            <translation>Die Datei enthält mehr als eine Domäne namens %@.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Export error</source>
            <translation>Fehler beim Exportieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The export operation failed. Please make sure you have sufficient permissions to the directory %@ and that you haven't run out of disk space. Then try again.</source>
            <translation>Der Export ist fehlgeschlagen. Bitte stellen Sie sicher, dass Sie ausreichende Rechte für den Ordner %@ haben und genügend Speicherplatz frei ist. Versuchen Sie es dann erneut.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The file holds a list of domains, not one domain. Use Import All Domains to import it.</source>
            <translation>Die Datei enthält eine Liste von Domänen, nicht eine einzelne Domäne. Importieren Sie sie mit „Alle Domänen importieren“.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The file holds one domain, not a list of domains. Use Import Domain to import it.</source>
            <translation>Die Datei enthält eine einzelne Domäne, keine Liste von Domänen. Importieren Sie sie mit „Domäne importieren“.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Import error</source>
            <translation>Fehler beim Importieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The import operation failed. Please make sure you have sufficient permissions to the file %@ and that the file is in proper format. Then try again.</source>
            <translation>Der Import ist fehlgeschlagen. Bitte stellen Sie sicher, dass Sie ausreichende Rechte für die Datei %@ haben und die Datei das richtige Format hat. Versuchen Sie es dann erneut.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>About to discard unsaved changes</source>
            <translation>Ungesicherte Änderungen werden verworfen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The domain %@ has unsaved changes. The import replaces the whole domain list, and these changes will be lost. Do you wish to import anyway?</source>
            <translation>Die Domäne %@ hat ungesicherte Änderungen. Der Import ersetzt die ganze Domänenliste, und diese Änderungen gehen verloren. Möchten Sie trotzdem importieren?</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>The domain %@ has unsaved changes. The import replaces it, and these changes will be lost. Do you wish to import anyway?</source>
            <translation>Die Domäne %@ hat ungesicherte Änderungen. Der Import ersetzt sie, und diese Änderungen gehen verloren. Möchten Sie trotzdem importieren?</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>%d domains have unsaved changes. The import replaces the whole domain list, and these changes will be lost. Do you wish to import anyway?</source>
            <translation>%d Domänen haben ungesicherte Änderungen. Der Import ersetzt die ganze Domänenliste, und diese Änderungen gehen verloren. Möchten Sie trotzdem importieren?</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExchange.cpp" />
            <source>Cancel</source>
            <translation>Abbrechen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>Cannot save domain</source>
            <translation>Domäne kann nicht gespeichert werden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>Empty domain</source>
            <translation>Leere Domäne</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>You are about to save an empty domain: %@. The defaults database does not accept domains with no keys. The domain will not be saved.</source>
            <translation>Sie möchten eine leere Domäne speichern: %@. Die Voreinstellungsdatenbank nimmt keine Domänen ohne Schlüssel an. Die Domäne wird nicht gespeichert.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>There are some domains which are empty (contain no keys). The defaults database does not accept empty domains. Empty domains will not be saved.</source>
            <translation>Einige Domänen sind leer (enthalten keine Schlüssel). Die Voreinstellungsdatenbank nimmt keine leeren Domänen an. Leere Domänen werden nicht gespeichert.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>Tamrix stays open so that these changes are not lost.</source>
            <translation>Tamrix bleibt geöffnet, damit diese Änderungen nicht verloren gehen.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>Cannot save domains</source>
            <translation>Domänen können nicht gespeichert werden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>About to reload a domain</source>
            <translation>Eine Domäne wird neu geladen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>You have requested to reload domain contents from the system defaults. All changes made to this domain will be lost. Do you confirm?</source>
            <translation>Sie möchten den Inhalt der Domäne neu aus den Systemvoreinstellungen laden. Alle Änderungen an dieser Domäne gehen verloren. Bestätigen Sie das?</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>Cannot read the defaults database</source>
            <translation>Die Voreinstellungsdatenbank kann nicht gelesen werden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>About to reload all domains</source>
            <translation>Alle Domänen werden neu geladen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>You have requested to reload all domains from the system defaults. All changes made to any domains will be lost. Do you confirm?</source>
            <translation>Sie möchten alle Domänen neu aus den Systemvoreinstellungen laden. Alle Änderungen an allen Domänen gehen verloren. Bestätigen Sie das?</translation>
        </message>
        <message>
            <location filename="app/TRDomainListModel.cpp" />
            <source>Modified, not saved</source>
            <translation>Geändert, nicht gespeichert</translation>
        </message>
        <message>
            <location filename="app/TRDomainListModel.cpp" />
            <source>Domain</source>
            <translation>Domäne</translation>
        </message>
        <message>
            <location filename="app/TRDomainListModel.cpp" />
            <source>Keys</source>
            <translation>Schlüssel</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>Cannot save the preferences</source>
            <translation>Die Einstellungen können nicht gespeichert werden</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/StoreCommand.cpp" />
            <source>cannot read %@: %@</source>
            <translation>%@ kann nicht gelesen werden: %@</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/StoreCommand.cpp" />
            <source> (set aside as %@)</source>
            <translation> (beiseitegelegt als %@)</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/StoreCommand.cpp" />
            <source>no domain named %@ in %@</source>
            <translation>keine Domäne namens %@ in %@</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/StoreCommand.cpp" />
            <source>cannot read %@: the property list's root is not a dictionary</source>
            <translation>%@ kann nicht gelesen werden: Die Wurzel der Eigenschaftsliste ist kein Verzeichnis</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Domains</source>
            <translation>Domänen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Search domains (Return finds the next)</source>
            <translation>Domänen suchen (Eingabetaste findet die nächste)</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;File</source>
            <translation>&amp;Datei</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Edit</source>
            <translation>&amp;Bearbeiten</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Domain</source>
            <translation>D&amp;omäne</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Help</source>
            <translation>&amp;Hilfe</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;New Domain...</source>
            <translation>&amp;Neue Domäne...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Create an empty domain</source>
            <translation>Eine leere Domäne anlegen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Delete Domain...</source>
            <translation>Domäne &amp;löschen...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Delete the selected domain from the defaults database</source>
            <translation>Die ausgewählte Domäne aus der Voreinstellungsdatenbank löschen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Find Domain</source>
            <translation>Domäne &amp;suchen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Search the domain names</source>
            <translation>Die Domänennamen durchsuchen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Save Domain</source>
            <translation>Domäne &amp;speichern</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Write the selected domain to the defaults database</source>
            <translation>Die ausgewählte Domäne in die Voreinstellungsdatenbank schreiben</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Save &amp;All Domains</source>
            <translation>&amp;Alle Domänen speichern</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Write every modified domain to the defaults database</source>
            <translation>Jede geänderte Domäne in die Voreinstellungsdatenbank schreiben</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Reload Domain</source>
            <translation>Domäne &amp;neu laden</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Read the selected domain again from the defaults database</source>
            <translation>Die ausgewählte Domäne erneut aus der Voreinstellungsdatenbank lesen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Reload A&amp;ll Domains...</source>
            <translation>Alle Domänen ne&amp;u laden...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Read every domain again from the defaults database</source>
            <translation>Jede Domäne erneut aus der Voreinstellungsdatenbank lesen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Quit</source>
            <translation>&amp;Beenden</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Undo</source>
            <translation>&amp;Rückgängig</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Redo</source>
            <translation>&amp;Wiederholen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Export All Domains...</source>
            <translation>Alle Domänen &amp;exportieren...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Write every loaded domain, unsaved changes included, to one exchange file</source>
            <translation>Jede geladene Domäne samt ungesicherter Änderungen in eine Austauschdatei schreiben</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>E&amp;xport Domain...</source>
            <translation>Domäne e&amp;xportieren...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Write the selected domain, unsaved changes included, to an exchange file</source>
            <translation>Die ausgewählte Domäne samt ungesicherter Änderungen in eine Austauschdatei schreiben</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Import All Domains...</source>
            <translation>Alle Domänen &amp;importieren...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Replace the domain list with the domains of an exchange file</source>
            <translation>Die Domänenliste durch die Domänen einer Austauschdatei ersetzen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>I&amp;mport Domain...</source>
            <translation>Domäne i&amp;mportieren...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Add a domain from an exchange file, or replace the loaded domain of its name</source>
            <translation>Eine Domäne aus einer Austauschdatei hinzufügen oder die geladene Domäne gleichen Namens ersetzen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Preferences...</source>
            <translation>&amp;Einstellungen...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Tamrix &amp;Home Page</source>
            <translation>Tamrix-&amp;Homepage</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Open the Tamrix home page in the web browser</source>
            <translation>Die Tamrix-Homepage im Webbrowser öffnen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;About Tamrix</source>
            <translation>Über &amp;Tamrix</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>About &amp;Qt</source>
            <translation>Über &amp;Qt</translation>
        </message>
        <message>
            <location filename="ui/TRNewDomainSheet.ui" />
            <source>New Domain</source>
            <translation>Neue Domäne</translation>
        </message>
        <message>
            <location filename="ui/TRNewDomainSheet.ui" />
            <source>&amp;Name of the new domain:</source>
            <translation>&amp;Name der neuen Domäne:</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Tamrix Preferences</source>
            <translation>Tamrix-Einstellungen</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Name contains the text</source>
            <translation>Name enthält den Text</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Name begins with the text</source>
            <translation>Name beginnt mit dem Text</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Key contains the text</source>
            <translation>Schlüssel enthält den Text</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Key begins with the text</source>
            <translation>Schlüssel beginnt mit dem Text</translation>
        </message>
        <message>
            <location filename="app/TRDomainListModel.cpp" />
            <source>modified</source>
            <translation>geändert</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Search domains</source>
            <translation>Domänen suchen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Domain list</source>
            <translation>Domänenliste</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Key outline</source>
            <translation>Schlüsselübersicht</translation>
        </message>
        <message>
            <location filename="ui/TRNewDomainSheet.ui" />
            <source>Name of the new domain</source>
            <translation>Name der neuen Domäne</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>&amp;Domain search:</source>
            <translation>&amp;Domänensuche:</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Domain search</source>
            <translation>Domänensuche</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>&amp;Key search:</source>
            <translation>&amp;Schlüsselsuche:</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Key search</source>
            <translation>Schlüsselsuche</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Key search also &amp;looks in values</source>
            <translation>Schlüsselsuche durchsucht auch die &amp;Werte</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>&amp;Save a domain after every key change</source>
            <translation>Domäne nach jeder Schlüsseländerung s&amp;peichern</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>no display to show a window on (neither DISPLAY nor WAYLAND_DISPLAY is set); start Tamrix in a desktop session</source>
            <translation>keine Anzeige, auf der ein Fenster erscheinen kann (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt); starten Sie Tamrix in einer Desktop-Sitzung</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>Edits the per-user defaults database: the preferences programs keep, one domain each.</source>
            <translation>Bearbeitet die benutzereigene Voreinstellungsdatenbank: die Einstellungen der Programme, eine Domäne je Programm.</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>Show this help and exit.</source>
            <translation>Diese Hilfe anzeigen und beenden.</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>Show the version and exit.</source>
            <translation>Die Version anzeigen und beenden.</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>unexpected argument '%@'</source>
            <translation>unerwartetes Argument „%@“</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>Try '%@ --help' for more information.</source>
            <translation>„%@ --help“ gibt weitere Auskunft.</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>Qt's window-system options (-platform, -display, -style, ...) are accepted too.
TAMRIX_DEFAULTS_DIR, when set, names the defaults folder to edit.</source>
            <translation>Die Fenstersystem-Optionen von Qt (-platform, -display, -style, ...) werden ebenfalls angenommen.
TAMRIX_DEFAULTS_DIR nennt, falls gesetzt, den zu bearbeitenden Ordner der Voreinstellungen.</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/PlistCommand.cpp" />
            <source>unknown format "%@" (xml or binary)</source>
            <translation>unbekanntes Format „%@“ (xml oder binary)</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print a property list as JSON</source>
            <translation>eine Eigenschaftsliste als JSON ausgeben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>write a property list again, as XML or binary</source>
            <translation>eine Eigenschaftsliste neu schreiben, als XML oder binär</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>read a property list; print its format and how many objects of each kind</source>
            <translation>eine Eigenschaftsliste lesen; ihr Format und die Anzahl der Objekte jeder Art ausgeben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print the defaults folder in use</source>
            <translation>den verwendeten Ordner der Voreinstellungen ausgeben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print a domain as an XML property list</source>
            <translation>eine Domäne als XML-Eigenschaftsliste ausgeben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>make the dictionary in a property-list file the domain NAME</source>
            <translation>das Verzeichnis einer Eigenschaftslisten-Datei zur Domäne NAME machen</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>delete the domain NAME</source>
            <translation>die Domäne NAME löschen</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print the domains in an exchange file as JSON (exit 2: wrong kind of root)</source>
            <translation>die Domänen einer Austauschdatei als JSON ausgeben (Status 2: falsche Art von Wurzel)</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>write an exchange file from an archive description</source>
            <translation>eine Austauschdatei aus einer Archivbeschreibung schreiben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>Usage: tamrix-tool [--help | --version] GROUP COMMAND [ARGUMENTS]
Property lists, the per-user defaults store and exchange files from the command line.
Results go to standard output, errors to standard error; exit status 0 on success,
1 on failure, 64 for a command-line mistake. TAMRIX_DEFAULTS_DIR, when set, names
the defaults folder.

Commands:
</source>
            <translation>Aufruf: tamrix-tool [--help | --version] GRUPPE BEFEHL [ARGUMENTE]
Eigenschaftslisten, der benutzereigene Voreinstellungsspeicher und Austauschdateien auf der
Befehlszeile. Ergebnisse gehen an die Standardausgabe, Fehler an die Standardfehlerausgabe;
Rückgabewert 0 bei Erfolg, 1 bei einem Fehler, 64 bei einem Fehler im Aufruf.
TAMRIX_DEFAULTS_DIR nennt, falls gesetzt, den Ordner der Voreinstellungen.

Befehle:
</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>
Options:
  -h, --help     show this help and exit
  -v, --version  show the version and exit
</source>
            <translation>
Optionen:
  -h, --help     diese Hilfe anzeigen und beenden
  -v, --version  die Version anzeigen und beenden
</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>Try 'tamrix-tool --help' for more information.</source>
            <translation>„tamrix-tool --help“ gibt weitere Auskunft.</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>a command is needed</source>
            <translation>ein Befehl wird benötigt</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>unknown command '%@'</source>
            <translation>unbekannter Befehl „%@“</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>Usage:</source>
            <translation>Aufruf:</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>unknown option '%@'</source>
            <translation>unbekannte Option „%@“</translation>
        </message>
        <message>
            <location filename="app/TRUndoManager.cpp" />
            <source>&amp;Undo %@</source>
            <translation>%@ &amp;rückgängig machen</translation>
        </message>
        <message>
            <location filename="app/TRUndoManager.cpp" />
            <source>&amp;Redo %@</source>
            <translation>%@ &amp;wiederholen</translation>
        </message>
        <message>
            <location filename="editors/TRDateEditor.cpp" />
            <source>Date and time</source>
            <translation>Datum und Uhrzeit</translation>
        </message>
        <message>
            <location filename="editors/TRDateEditor.cpp" />
            <source>Local time, %@</source>
            <translation>Ortszeit, %@</translation>
        </message>
        <message>
            <location filename="editors/TRStringEditor.cpp" />
            <source>Text</source>
            <translation>Text</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>Delete key</source>
            <translation>Schlüssel löschen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>New key</source>
            <translation>Neuer Schlüssel</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSheets.cpp" />
            <source>Edit “%@” in %@</source>
            <translation>„%@“ in %@ bearbeiten</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>Edit key</source>
            <translation>Schlüssel bearbeiten</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>new key</source>
            <translation>neuer Schlüssel</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>Empty key name</source>
            <translation>Leerer Schlüsselname</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>The key name cannot be empty in the current dictionary context. Please enter a valid key name.</source>
            <translation>Der Schlüsselname darf in diesem Verzeichnis nicht leer sein. Bitte geben Sie einen gültigen Schlüsselnamen ein.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>Key exists</source>
            <translation>Schlüssel existiert bereits</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>The name %@ already exists in the current dictionary context. Please use a different key name.</source>
            <translation>Der Name %@ existiert in diesem Verzeichnis bereits. Bitte verwenden Sie einen anderen Schlüsselnamen.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>About to delete a key</source>
            <translation>Ein Schlüssel wird gelöscht</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerKeys.cpp" />
            <source>The currently selected key is about to be deleted. Do you confirm?</source>
            <translation>Der ausgewählte Schlüssel wird gelöscht. Bestätigen Sie das?</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>Edit Binary Data</source>
            <translation>Binärdaten bearbeiten</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>&amp;Hexadecimal:</source>
            <translation>&amp;Hexadezimal:</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>Bytes in hexadecimal</source>
            <translation>Bytes hexadezimal</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>&amp;Decimal:</source>
            <translation>&amp;Dezimal:</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>Bytes in decimal</source>
            <translation>Bytes dezimal</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>Characters:</source>
            <translation>Zeichen:</translation>
        </message>
        <message>
            <location filename="ui/TRDataValueSheet.ui" />
            <source>Bytes as characters</source>
            <translation>Bytes als Zeichen</translation>
        </message>
        <message>
            <location filename="ui/TRDateValueSheet.ui" />
            <source>Edit Date</source>
            <translation>Datum bearbeiten</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Search keys (Return finds the next)</source>
            <translation>Schlüssel suchen (Eingabetaste findet den nächsten)</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Search keys</source>
            <translation>Schlüssel suchen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Key</source>
            <translation>&amp;Schlüssel</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;New Key...</source>
            <translation>&amp;Neuer Schlüssel...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Add a key beside the selected key, or into the selected expanded array or dictionary</source>
            <translation>Einen Schlüssel neben dem ausgewählten anlegen oder in die ausgewählte, aufgeklappte Liste bzw. das Verzeichnis einfügen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Edit Key...</source>
            <translation>Schlüssel &amp;bearbeiten...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Edit the value of the selected key</source>
            <translation>Den Wert des ausgewählten Schlüssels bearbeiten</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Delete Key...</source>
            <translation>Schlüssel &amp;löschen...</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Delete the selected key</source>
            <translation>Den ausgewählten Schlüssel löschen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Find Key</source>
            <translation>Schlüssel &amp;suchen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Search the keys shown</source>
            <translation>Die angezeigten Schlüssel durchsuchen</translation>
        </message>
        <message>
            <location filename="ui/TRNewKeySheet.ui" />
            <source>New Key</source>
            <translation>Neuer Schlüssel</translation>
        </message>
        <message>
            <location filename="ui/TRNewKeySheet.ui" />
            <source>&amp;Name:</source>
            <translation>&amp;Name:</translation>
        </message>
        <message>
            <location filename="ui/TRNewKeySheet.ui" />
            <source>&amp;Type:</source>
            <translation>&amp;Typ:</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>Edit Number</source>
            <translation>Zahl bearbeiten</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>Kind of number</source>
            <translation>Art der Zahl</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>&amp;Whole number</source>
            <translation>&amp;Ganzzahl</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>Whole number</source>
            <translation>Ganzzahl</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>&amp;Real number</source>
            <translation>&amp;Kommazahl</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>Real number</source>
            <translation>Kommazahl</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>&amp;Boolean</source>
            <translation>&amp;Wahrheitswert</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>&amp;Yes</source>
            <translation>&amp;Ja</translation>
        </message>
        <message>
            <location filename="ui/TRNumberValueSheet.ui" />
            <source>&amp;No</source>
            <translation>&amp;Nein</translation>
        </message>
        <message>
            <location filename="ui/TRStringValueSheet.ui" />
            <source>Edit String</source>
            <translation>Text bearbeiten</translation>
        </message>
        <message>
            <location filename="ui/TRStringValueSheet.ui" />
            <source>Return starts a new line; Ctrl+Return confirms.</source>
            <translation>Die Eingabetaste beginnt eine neue Zeile; Strg+Eingabetaste bestätigt.</translation>
        </message>
        <message>
            <location filename="domains/plist/TRPropertyList.cpp" />
            <source>The property list holds more than %@ values once every shared value is counted where it is used.</source>
            <translation>Die Eigenschaftsliste enthält mehr als %@ Werte, wenn jeder geteilte Wert an jeder Stelle gezählt wird, an der er verwendet wird.</translation>
        </message>
        <message>
            <location filename="domains/store/TRAtomicFile.cpp" />
            <source>the new contents are in place, but the folder could not be flushed to disk (%@)</source>
            <translation>der neue Inhalt ist gespeichert, aber der Ordner konnte nicht auf den Datenträger geschrieben werden (%@)</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsLock.cpp" />
            <source>another program has held it for %@ seconds</source>
            <translation>ein anderes Programm hält sie seit %@ Sekunden</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreFiles.cpp" />
            <source>The file changed while it was being read.</source>
            <translation>Die Datei wurde geändert, während sie gelesen wurde.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>Waiting for another program to release the lock on the defaults folder %@ (%@ s)…</source>
            <translation>Warten, bis ein anderes Programm die Sperre des Ordners der Voreinstellungen %@ freigibt (%@ s)…</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>The lock on the defaults folder %@ could not be taken (%@); the change is made without it.</source>
            <translation>Die Sperre des Ordners der Voreinstellungen %@ konnte nicht gesetzt werden (%@); die Änderung wird ohne sie vorgenommen.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreFiles.cpp" />
            <source>It is not a regular file.</source>
            <translation>Es ist keine reguläre Datei.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreFiles.cpp" />
            <source>The file is larger than %@ MiB.</source>
            <translation>Die Datei ist größer als %@ MiB.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStore.cpp" />
            <source>The file name is not valid UTF-8 text.</source>
            <translation>Der Dateiname ist kein gültiger UTF-8-Text.</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/StoreCommand.cpp" />
            <source>cannot read %@: the file is larger than %@ MiB</source>
            <translation>%@ kann nicht gelesen werden: die Datei ist größer als %@ MiB</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>list the domains in the store, one a line with control characters escaped, or as JSON</source>
            <translation>die Domänen im Speicher auflisten, eine je Zeile mit maskierten Steuerzeichen, oder als JSON</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>argument %@ is not valid UTF-8 text</source>
            <translation>Argument %@ ist kein gültiger UTF-8-Text</translation>
        </message>
        <message>
            <location filename="app/TRCommandLine.cpp" />
            <source>An exchange file (.tamdom or .tamdoms) to import at start.</source>
            <translation>Eine Austauschdatei (.tamdom oder .tamdoms), die beim Start importiert wird.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>The file of domain %@ cannot be read (%@); Tamrix keeps the contents it read before.</source>
            <translation>Die Datei der Domäne %@ kann nicht gelesen werden (%@); Tamrix behält den zuvor gelesenen Inhalt.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>The file of domain %@ was changed by another program. Saving the domain will ask first.</source>
            <translation>Die Datei der Domäne %@ wurde von einem anderen Programm geändert. Vor dem Sichern der Domäne wird nachgefragt.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>The files of %d modified domains were changed by another program. Saving them will ask first.</source>
            <translation>Die Dateien von %d geänderten Domänen wurden von einem anderen Programm geändert. Vor dem Sichern wird nachgefragt.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>Changed by another program</source>
            <translation>Von einem anderen Programm geändert</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>The file of domain %@ was changed by another program since Tamrix read it. Saving will replace those changes.</source>
            <translation>Die Datei der Domäne %@ wurde von einem anderen Programm geändert, seit Tamrix sie gelesen hat. Beim Sichern werden diese Änderungen ersetzt.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>The files of domains %@ were changed by another program since Tamrix read them. Saving will replace those changes.</source>
            <translation>Die Dateien der Domänen %@ wurden von einem anderen Programm geändert, seit Tamrix sie gelesen hat. Beim Sichern werden diese Änderungen ersetzt.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>Show Both…</source>
            <translation>Beide zeigen…</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerExternal.cpp" />
            <source>Save Anyway</source>
            <translation>Trotzdem sichern</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerSaving.cpp" />
            <source>Another program changed the file just now; nothing was written. Save again to decide what to keep.</source>
            <translation>Ein anderes Programm hat die Datei soeben geändert; es wurde nichts geschrieben. Sichern Sie erneut, um zu entscheiden, was bleiben soll.</translation>
        </message>
        <message>
            <location filename="app/TRDomainListModel.cpp" />
            <source>Changed on disk by another program</source>
            <translation>Auf der Festplatte von einem anderen Programm geändert</translation>
        </message>
        <message>
            <location filename="app/TRDomainListModel.cpp" />
            <source>modified, changed on disk by another program</source>
            <translation>geändert, auf der Festplatte von einem anderen Programm geändert</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Domain %@: File and Tamrix's Copy</source>
            <translation>Domäne %@: Datei und Kopie in Tamrix</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Keys in the file</source>
            <translation>Schlüssel in der Datei</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Keys in Tamrix</source>
            <translation>Schlüssel in Tamrix</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>In the file (changed by another program)</source>
            <translation>In der Datei (von einem anderen Programm geändert)</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>In the file: it cannot be read (%@)</source>
            <translation>In der Datei: sie kann nicht gelesen werden (%@)</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>In Tamrix (not saved)</source>
            <translation>In Tamrix (nicht gesichert)</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Both versions hold the same keys and values.</source>
            <translation>Beide Fassungen enthalten dieselben Schlüssel und Werte.</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>%d keys differ; they are marked.</source>
            <translation>%d Schlüssel unterscheiden sich; sie sind markiert.</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Only in Tamrix's copy</source>
            <translation>Nur in der Kopie in Tamrix</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Only in the file</source>
            <translation>Nur in der Datei</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Differs</source>
            <translation>Unterschiedlich</translation>
        </message>
        <message>
            <location filename="app/TRKeyDiffView.cpp" />
            <source>Holds keys that differ</source>
            <translation>Enthält unterschiedliche Schlüssel</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>&amp;Follow changes other programs make to the defaults</source>
            <translation>Änderungen anderer Programme an den Voreinstellungen &amp;folgen</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.ui" />
            <source>Unmodified domains are reloaded when another program writes their files; modified ones are marked, and saving them asks first.</source>
            <translation>Ungeänderte Domänen werden neu geladen, wenn ein anderes Programm ihre Dateien schreibt; geänderte werden markiert, und vor ihrem Sichern wird nachgefragt.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text “%@” is not a number.</source>
            <translation>Der Text „%@“ ist keine Zahl.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text “%@” becomes the number %@.</source>
            <translation>Aus dem Text „%@“ wird die Zahl %@.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text “%@” is not a truth value: use YES, NO, true, false, 1 or 0.</source>
            <translation>Der Text „%@“ ist kein Wahrheitswert: Verwenden Sie YES, NO, true, false, 1 oder 0.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text “%@” becomes the boolean %@.</source>
            <translation>Aus dem Text „%@“ wird der Wahrheitswert %@.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text “%@” is not a date in ISO 8601 form, such as 2024-01-02T03:04:05Z.</source>
            <translation>Der Text „%@“ ist kein Datum in ISO-8601-Form wie 2024-01-02T03:04:05Z.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text “%@” becomes the date %@.</source>
            <translation>Aus dem Text „%@“ wird das Datum %@.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The date cannot be written in ISO 8601 form.</source>
            <translation>Das Datum lässt sich nicht in ISO-8601-Form schreiben.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The date becomes the text %@, which keeps it only to the millisecond.</source>
            <translation>Aus dem Datum wird der Text %@, der es nur auf die Millisekunde genau festhält.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The data is not valid UTF-8 text.</source>
            <translation>Die Daten sind kein gültiger UTF-8-Text.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The text holds characters that UTF-8 cannot carry; they become question marks.</source>
            <translation>Der Text enthält Zeichen, die UTF-8 nicht darstellen kann; sie werden zu Fragezeichen.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>Only a single value can change its type.</source>
            <translation>Nur ein einzelner Wert kann seinen Typ ändern.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>There is no conversion between these types.</source>
            <translation>Zwischen diesen Typen gibt es keine Umwandlung.</translation>
        </message>
        <message>
            <location filename="model/TRValueConversion.cpp" />
            <source>The number %@ becomes the boolean %@.</source>
            <translation>Aus der Zahl %@ wird der Wahrheitswert %@.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>The file is too large for a property list.</source>
            <translation>Die Datei ist für eine Eigenschaftsliste zu groß.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>The property list does not hold a dictionary at its top, as a domain does.</source>
            <translation>Die Eigenschaftsliste enthält auf oberster Ebene kein Verzeichnis, wie es eine Domäne tut.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>Export Domain as Property List</source>
            <translation>Domäne als Eigenschaftsliste exportieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>XML property list (*.plist)</source>
            <translation>XML-Eigenschaftsliste (*.plist)</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>Binary property list (*.plist)</source>
            <translation>Binäre Eigenschaftsliste (*.plist)</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>The domain holds text or a date that XML cannot carry. Export it as a binary property list.</source>
            <translation>Die Domäne enthält Text oder ein Datum, das XML nicht darstellen kann. Exportieren Sie sie als binäre Eigenschaftsliste.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>Import Property List as Domain</source>
            <translation>Eigenschaftsliste als Domäne importieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>Property lists (*.plist)</source>
            <translation>Eigenschaftslisten (*.plist)</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerPlistExchange.cpp" />
            <source>Name of the domain:</source>
            <translation>Name der Domäne:</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRename.cpp" />
            <source>%d characters</source>
            <translation>%d Zeichen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRename.cpp" />
            <source>%d bytes</source>
            <translation>%d Bytes</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRename.cpp" />
            <source>Rename Key</source>
            <translation>Schlüssel umbenennen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRename.cpp" />
            <source>New name of the key:</source>
            <translation>Neuer Name des Schlüssels:</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRename.cpp" />
            <source>Rename key</source>
            <translation>Schlüssel umbenennen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerTypes.cpp" />
            <source>Change type</source>
            <translation>Typ ändern</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerTypes.cpp" />
            <source>The type cannot be changed</source>
            <translation>Der Typ kann nicht geändert werden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerTypes.cpp" />
            <source>About to change the value</source>
            <translation>Der Wert wird verändert</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerTypes.cpp" />
            <source>Change Type</source>
            <translation>Typ ändern</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>Search values too</source>
            <translation>Auch Werte durchsuchen</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>Find in All Domains</source>
            <translation>In allen Domänen suchen</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>Name or value to find</source>
            <translation>Gesuchter Name oder Wert</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>Text to find in all domains</source>
            <translation>In allen Domänen gesuchter Text</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>Matches in all domains</source>
            <translation>Treffer in allen Domänen</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>Searching… %d matches so far</source>
            <translation>Suche läuft … bisher %d Treffer</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>The first %d matches</source>
            <translation>Die ersten %d Treffer</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>%d matches</source>
            <translation>%d Treffer</translation>
        </message>
        <message>
            <location filename="ui/TRFindAllPanel.cpp" />
            <source>No key name contains the text; values were not searched</source>
            <translation>Kein Schlüsselname enthält den Text; Werte wurden nicht durchsucht</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>&amp;Rename Key...</source>
            <translation>Schlüssel &amp;umbenennen...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Give the selected dictionary entry another name</source>
            <translation>Dem ausgewählten Verzeichniseintrag einen anderen Namen geben</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Copy Key &amp;Path</source>
            <translation>Schlüssel&amp;pfad kopieren</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Copy the path of the selected key, such as Dict/a/0</source>
            <translation>Den Pfad des ausgewählten Schlüssels kopieren, etwa Dict/a/0</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Change &amp;Type</source>
            <translation>&amp;Typ ändern</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Find in &amp;All Domains...</source>
            <translation>In allen Domänen su&amp;chen...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Search the names and values of every domain</source>
            <translation>Die Namen und Werte aller Domänen durchsuchen</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Export Domain as &amp;Property List...</source>
            <translation>Domäne als Eigenschaftsliste expor&amp;tieren...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Write the selected domain to an XML or binary property list</source>
            <translation>Die ausgewählte Domäne in eine XML- oder binäre Eigenschaftsliste schreiben</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Impor&amp;t Property List as Domain...</source>
            <translation>Eigenschaftsliste als Domäne im&amp;portieren...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfacePower.cpp" />
            <source>Add a domain from a property list, or replace the loaded domain of its name</source>
            <translation>Eine Domäne aus einer Eigenschaftsliste hinzufügen oder die geladene Domäne dieses Namens ersetzen</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPlistFragment.cpp" />
            <source>The clipboard is empty.</source>
            <translation>Die Zwischenablage ist leer.</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPlistFragment.cpp" />
            <source>It is neither an XML nor an OpenStep property list.</source>
            <translation>Sie ist weder eine XML- noch eine OpenStep-Eigenschaftsliste.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>%@ copy</source>
            <translation>%@ Kopie</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>%@ copy %d</source>
            <translation>%@ Kopie %d</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>Cut</source>
            <translation>Ausschneiden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>Cannot paste</source>
            <translation>Einfügen nicht möglich</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>The clipboard holds no property list. Copy keys, or the text of a property list, and paste again.</source>
            <translation>Die Zwischenablage enthält keine Eigenschaftsliste. Kopieren Sie Schlüssel oder den Text einer Eigenschaftsliste und fügen Sie erneut ein.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>Duplicate</source>
            <translation>Duplizieren</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>About to delete keys</source>
            <translation>Schlüssel werden gelöscht</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>The %d selected keys are about to be deleted. Do you confirm?</source>
            <translation>Die %d ausgewählten Schlüssel werden gelöscht. Bestätigen Sie das?</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>Delete keys</source>
            <translation>Schlüssel löschen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>Move keys</source>
            <translation>Schlüssel verschieben</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerClipboard.cpp" />
            <source>Copy keys</source>
            <translation>Schlüssel kopieren</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Cu&amp;t</source>
            <translation>&amp;Ausschneiden</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Move the selected keys to the clipboard</source>
            <translation>Die ausgewählten Schlüssel in die Zwischenablage verschieben</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Copy</source>
            <translation>&amp;Kopieren</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Copy the selected keys to the clipboard as a property list</source>
            <translation>Die ausgewählten Schlüssel als Eigenschaftsliste in die Zwischenablage kopieren</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>P&amp;aste</source>
            <translation>E&amp;infügen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Add the keys of the property list on the clipboard beside the selected key, or into the selected expanded array or dictionary</source>
            <translation>Die Schlüssel der Eigenschaftsliste aus der Zwischenablage neben dem ausgewählten Schlüssel oder in die ausgewählte aufgeklappte Liste oder das ausgewählte aufgeklappte Verzeichnis einfügen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>&amp;Duplicate</source>
            <translation>&amp;Duplizieren</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Add a copy of each selected key beside it</source>
            <translation>Neben jedem ausgewählten Schlüssel eine Kopie von ihm anlegen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerNavigation.cpp" />
            <source>No key %@ in %@</source>
            <translation>Kein Schlüssel %@ in %@</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerNavigation.cpp" />
            <source>No domain %@</source>
            <translation>Keine Domäne %@</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceNavigation.cpp" />
            <source>&amp;Go to Key...</source>
            <translation>&amp;Gehe zu Schlüssel...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceNavigation.cpp" />
            <source>Select a key by its path, such as Dict/a/0 or a domain's name and a path</source>
            <translation>Einen Schlüssel über seinen Pfad auswählen, etwa Dict/a/0 oder den Namen einer Domäne und einen Pfad</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceNavigation.cpp" />
            <source>&amp;Back</source>
            <translation>&amp;Zurück</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceNavigation.cpp" />
            <source>Go back to the key selected before</source>
            <translation>Zum zuvor ausgewählten Schlüssel zurückgehen</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceNavigation.cpp" />
            <source>For&amp;ward</source>
            <translation>&amp;Vorwärts</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceNavigation.cpp" />
            <source>Go forward to the key selected after this one</source>
            <translation>Zum danach ausgewählten Schlüssel vorgehen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Go to key path, such as Dict/a/0</source>
            <translation>Gehe zu Schlüsselpfad, etwa Dict/a/0</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindow.ui" />
            <source>Go to key</source>
            <translation>Gehe zu Schlüssel</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>The difference is not one the history writes.</source>
            <translation>Die Differenz ist keine, wie der Verlauf sie schreibt.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>The difference removes the key %@, which the version before lacks.</source>
            <translation>Die Differenz entfernt den Schlüssel %@, den die Version davor nicht hat.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>The difference's key order does not name the version's keys.</source>
            <translation>Die Schlüsselreihenfolge der Differenz nennt nicht die Schlüssel der Version.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>It is not a version the history writes.</source>
            <translation>Es ist keine Version, wie der Verlauf sie schreibt.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>Cannot make the folder %@.</source>
            <translation>Der Ordner %@ kann nicht angelegt werden.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>A domain's contents are a dictionary.</source>
            <translation>Der Inhalt einer Domäne ist ein Verzeichnis.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>%@ has no version %@ in its history.</source>
            <translation>%@ hat keine Version %@ im Verlauf.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>No whole version of %@ comes before version %@.</source>
            <translation>Vor Version %2$@ von %1$@ gibt es keine vollständige Version.</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>Version %@ of %@ cannot be read: %@</source>
            <translation>Version %@ von %@ kann nicht gelesen werden: %@</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>list the versions kept of a domain, newest (1) first: number, UTC time, source, key count</source>
            <translation>die aufbewahrten Versionen einer Domäne auflisten, die neueste (1) zuerst: Nummer, UTC-Zeit, Quelle, Schlüsselanzahl</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print version N of a domain as an XML property list</source>
            <translation>Version N einer Domäne als XML-Property-List ausgeben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/HistoryCommand.cpp" />
            <source>usage: history list DOMAIN [--json] | show DOMAIN N | diff DOMAIN N [M] | restore DOMAIN N</source>
            <translation>Aufruf: history list DOMÄNE [--json] | show DOMÄNE N | diff DOMÄNE N [M] | restore DOMÄNE N</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print the key-level changes from version N to version M, or to the domain as it is: + PATH VALUE, - PATH, ~ PATH OLD -&gt; NEW</source>
            <translation>die Änderungen der Schlüssel von Version N zu Version M oder zur Domäne, wie sie ist, ausgeben: + PFAD WERT, - PFAD, ~ PFAD ALT -&gt; NEU</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>make version N the domain again, keeping the version it replaces</source>
            <translation>Version N wieder zur Domäne machen und die ersetzte Version aufbewahren</translation>
        </message>
        <message>
            <location filename="domains/store/TRDefaultsStoreWrites.cpp" />
            <source>The history of %@ could not be kept: %@</source>
            <translation>Der Verlauf von %@ konnte nicht aufbewahrt werden: %@</translation>
        </message>
        <message>
            <location filename="domains/store/TRDomainHistory.cpp" />
            <source>It is built on %@, which cannot be read.</source>
            <translation>Sie baut auf %@ auf, das nicht gelesen werden kann.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerHistory.cpp" />
            <source>Restore version</source>
            <translation>Version wiederherstellen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerHistory.cpp" />
            <source>Restore key</source>
            <translation>Schlüssel wiederherstellen</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Tamrix</source>
            <translation>Tamrix</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>another program</source>
            <translation>ein anderes Programm</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>import</source>
            <translation>Import</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>restore</source>
            <translation>Wiederherstellung</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>deleted</source>
            <translation>gelöscht</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Restore This Version</source>
            <translation>Diese Version wiederherstellen</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Restore Key</source>
            <translation>Schlüssel wiederherstellen</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>History</source>
            <translation>Verlauf</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Versions of the domain</source>
            <translation>Versionen der Domäne</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Time</source>
            <translation>Zeit</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Source</source>
            <translation>Quelle</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Added</source>
            <translation>Hinzugefügt</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Removed</source>
            <translation>Entfernt</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Changed</source>
            <translation>Geändert</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Compare with</source>
            <translation>Vergleichen mit</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Changes from the version before</source>
            <translation>Änderungen gegenüber der Version davor</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Changes to the current contents</source>
            <translation>Änderungen bis zum jetzigen Inhalt</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Changes of the selected version</source>
            <translation>Änderungen der ausgewählten Version</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Before</source>
            <translation>Vorher</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>After</source>
            <translation>Nachher</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>No domain is selected.</source>
            <translation>Keine Domäne ist ausgewählt.</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>The history keeps no version of %@ yet.</source>
            <translation>Der Verlauf hat noch keine Version von %@.</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Versions of %@, newest first</source>
            <translation>Versionen von %@, die neueste zuerst</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>History of %@</source>
            <translation>Verlauf von %@</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>Unreadable versions, left out: %@</source>
            <translation>Unlesbare Versionen, ausgelassen: %@</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>This version cannot be read: %@</source>
            <translation>Diese Version kann nicht gelesen werden: %@</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>The version before cannot be read: %@</source>
            <translation>Die Version davor kann nicht gelesen werden: %@</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>This version is the domain's contents now.</source>
            <translation>Diese Version ist der jetzige Inhalt der Domäne.</translation>
        </message>
        <message>
            <location filename="ui/TRHistoryPanel.cpp" />
            <source>No key changed.</source>
            <translation>Kein Schlüssel wurde geändert.</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceHistory.cpp" />
            <source>&amp;History...</source>
            <translation>&amp;Verlauf...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceHistory.cpp" />
            <source>See the versions of the selected domain, what each changed, and restore one</source>
            <translation>Die Versionen der ausgewählten Domäne ansehen, was jede geändert hat, und eine wiederherstellen</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceHistory.cpp" />
            <source>Recent Chan&amp;ges...</source>
            <translation>Letzte Än&amp;derungen...</translation>
        </message>
        <message>
            <location filename="ui/TRMainInterfaceHistory.cpp" />
            <source>List the keys other programs changed while Tamrix ran</source>
            <translation>Die Schlüssel auflisten, die andere Programme geändert haben, während Tamrix lief</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>added: %@</source>
            <translation>hinzugefügt: %@</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>removed: %@</source>
            <translation>entfernt: %@</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>Recent Changes</source>
            <translation>Letzte Änderungen</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>Domain, key or value</source>
            <translation>Domäne, Schlüssel oder Wert</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>Text to find in the recent changes</source>
            <translation>Text, der in den letzten Änderungen gesucht wird</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>Changes other programs made</source>
            <translation>Änderungen anderer Programme</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>Change</source>
            <translation>Änderung</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>No other program has changed the store since Tamrix started.</source>
            <translation>Seit dem Start von Tamrix hat kein anderes Programm den Speicher geändert.</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>%d changes</source>
            <translation>%d Änderungen</translation>
        </message>
        <message>
            <location filename="ui/TRRecentChangesPanel.cpp" />
            <source>%d of %d changes</source>
            <translation>%d von %d Änderungen</translation>
        </message>
        <message>
            <location filename="app/TRExchangeCommands.cpp" />
            <source>Show Changes…</source>
            <translation>Änderungen zeigen…</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindowView.cpp" />
            <source>Domain %@: Tamrix's Copy and the Import</source>
            <translation>Domäne %@: Kopie in Tamrix und Import</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindowView.cpp" />
            <source>In the file being imported</source>
            <translation>In der importierten Datei</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindowView.cpp" />
            <source>In Tamrix now</source>
            <translation>Jetzt in Tamrix</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>History: &amp;versions of each domain:</source>
            <translation>Verlauf: &amp;Versionen je Domäne:</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>Versions kept of each domain</source>
            <translation>Aufbewahrte Versionen je Domäne</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>History: da&amp;ys kept:</source>
            <translation>Verlauf: &amp;Tage:</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>Days the history keeps a version</source>
            <translation>Tage, die der Verlauf eine Version aufbewahrt</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>History: &amp;megabytes in all:</source>
            <translation>Verlauf: &amp;Megabyte insgesamt:</translation>
        </message>
        <message>
            <location filename="ui/TRPreferencesWindow.cpp" />
            <source>Megabytes the whole history may take</source>
            <translation>Megabyte, die der ganze Verlauf belegen darf</translation>
        </message>
        <message>
            <location filename="domains/store/TRRecoveryStore.cpp" />
            <source>It is not a file of unsaved changes Tamrix writes.</source>
            <translation>Das ist keine Datei ungesicherter Änderungen, wie Tamrix sie schreibt.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerBackground.cpp" />
            <source>Writing changes to the defaults database…</source>
            <translation>Änderungen werden in die Voreinstellungsdatenbank geschrieben…</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Unsaved changes cannot be protected against a crash: %@</source>
            <translation>Ungesicherte Änderungen können nicht gegen einen Absturz geschützt werden: %@</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Tamrix ended without saving changes to %@. Recovered domains are marked modified; nothing is written until you save them.</source>
            <translation>Tamrix wurde beendet, ohne Änderungen an %@ zu sichern. Wiederhergestellte Domänen sind als geändert markiert; geschrieben wird erst, wenn Sie sie sichern.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Another program changed %@ since these changes were made. Saving will ask before replacing its file.</source>
            <translation>Ein anderes Programm hat %@ geändert, seit diese Änderungen gemacht wurden. Beim Sichern wird gefragt, bevor seine Datei ersetzt wird.</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>These recovery files cannot be read and are never applied: %@</source>
            <translation>Diese Wiederherstellungsdateien können nicht gelesen werden und werden nie angewendet: %@</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Unsaved changes were found</source>
            <translation>Ungesicherte Änderungen gefunden</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Recover Unsaved Changes</source>
            <translation>Ungesicherte Änderungen wiederherstellen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Discard</source>
            <translation>Verwerfen</translation>
        </message>
        <message>
            <location filename="app/TRAppControllerRecovery.cpp" />
            <source>Recover unsaved changes</source>
            <translation>Ungesicherte Änderungen wiederherstellen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindowView.cpp" />
            <source>Domain %@: the Defaults Database and the Recovered Changes</source>
            <translation>Domäne %@: Voreinstellungsdatenbank und wiederhergestellte Änderungen</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindowView.cpp" />
            <source>In the defaults database</source>
            <translation>In der Voreinstellungsdatenbank</translation>
        </message>
        <message>
            <location filename="ui/TRMainWindowView.cpp" />
            <source>Recovered, not saved</source>
            <translation>Wiederhergestellt, nicht gesichert</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>The key path is empty</source>
            <translation>Der Schlüsselpfad ist leer</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>%@ in %@ is neither a list nor a dictionary</source>
            <translation>%@ in %@ ist weder eine Liste noch ein Verzeichnis</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>The value for %@ in %@ is too large</source>
            <translation>Der Wert für %@ in %@ ist zu groß</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>%@ in %@ is a list element: it has a position, not a name</source>
            <translation>%@ in %@ ist ein Listenelement: Es hat eine Position, keinen Namen</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>The key name cannot be empty</source>
            <translation>Der Schlüsselname darf nicht leer sein</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>Key exists: %@</source>
            <translation>Schlüssel existiert bereits: %@</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>%@ in %@ is not a list</source>
            <translation>%@ in %@ ist keine Liste</translation>
        </message>
        <message>
            <location filename="domains/TRKeyPathEdit.cpp" />
            <source>%@ in %@ is not a dictionary</source>
            <translation>%@ in %@ ist kein Verzeichnis</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/KeyCommand.cpp" />
            <source>usage: key read DOMAIN [PATH] [--json] | type DOMAIN PATH | write DOMAIN PATH VALUE | write DOMAIN PATH -TYPE VALUE... | delete DOMAIN PATH | rename DOMAIN PATH NEW-NAME</source>
            <translation>Aufruf: key read DOMÄNE [PFAD] [--json] | type DOMÄNE PFAD | write DOMÄNE PFAD WERT | write DOMÄNE PFAD -TYP WERT... | delete DOMÄNE PFAD | rename DOMÄNE PFAD NEUER-NAME</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/KeyCommand.cpp" />
            <source>unknown type -%@</source>
            <translation>unbekannter Typ -%@</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/KeyCommand.cpp" />
            <source>%@ is not a valid -%@ value</source>
            <translation>%@ ist kein gültiger Wert für -%@</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/KeyCommand.cpp" />
            <source>%@ needs a value</source>
            <translation>%@ braucht einen Wert</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/StoreCommand.cpp" />
            <source>usage: store dir | names [--json] | read NAME | write NAME FILE | remove NAME | find WORD [--values] [--json] | watch [DOMAIN...]</source>
            <translation>Aufruf: store dir | names [--json] | read NAME | write NAME DATEI | remove NAME | find WORT [--values] [--json] | watch [DOMÄNE...]</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print every key of every domain whose name (with --values: or value) holds WORD, case-insensitive: DOMAIN/PATH = VALUE</source>
            <translation>jeden Schlüssel jeder Domäne ausgeben, dessen Name (mit --values: oder Wert) WORT enthält, ohne Rücksicht auf Groß- und Kleinschreibung: DOMÄNE/PFAD = WERT</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>run until interrupted, printing each key-level change any program makes, as it lands: UTC time, DOMAIN/PATH, then + VALUE, - OLD or OLD -&gt; NEW</source>
            <translation>bis zur Unterbrechung laufen und jede Schlüsseländerung eines beliebigen Programms ausgeben, sobald sie ankommt: UTC-Zeit, DOMÄNE/PFAD, dann + WERT, - ALT oder ALT -&gt; NEU</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print a domain or the value at a key path, as OpenStep text or JSON</source>
            <translation>eine Domäne oder den Wert an einem Schlüsselpfad ausgeben, als OpenStep-Text oder JSON</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>print the kind of the value at a key path</source>
            <translation>die Art des Werts an einem Schlüsselpfad ausgeben</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>write the value at a key path, making missing dictionaries</source>
            <translation>den Wert an einem Schlüsselpfad schreiben und fehlende Verzeichnisse anlegen</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>write or extend a list or a dictionary at a key path</source>
            <translation>eine Liste oder ein Verzeichnis an einem Schlüsselpfad schreiben oder erweitern</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>delete the key at a path</source>
            <translation>den Schlüssel an einem Pfad löschen</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>rename a dictionary key, keeping its place</source>
            <translation>einen Verzeichnisschlüssel umbenennen; er behält seinen Platz</translation>
        </message>
        <message>
            <location filename="tools/tamrix-tool/main.cpp" />
            <source>
Examples:
</source>
            <translation>
Beispiele:
</translation>
        </message>
    </context>
</TS>
