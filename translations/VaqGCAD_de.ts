<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>GCAD</name>
    <message>
        <source>Deviation [%1]</source>
        <translation>Abweichung [%1]</translation>
    </message>
    <message>
        <source>clipped</source>
        <translation>abgeschnitten</translation>
    </message>
    <message>
        <source>X+</source>
        <translation>X+</translation>
    </message>
    <message>
        <source>X-</source>
        <translation>X-</translation>
    </message>
    <message>
        <source>Y+</source>
        <translation>Y+</translation>
    </message>
    <message>
        <source>Y-</source>
        <translation>Y-</translation>
    </message>
    <message>
        <source>Z+</source>
        <translation>Z+</translation>
    </message>
    <message>
        <source>Z-</source>
        <translation>Z-</translation>
    </message>
    <message>
        <source>X+Y+Z+</source>
        <translation>X+Y+Z+</translation>
    </message>
    <message>
        <source>X-Y+Z+</source>
        <translation>X-Y+Z+</translation>
    </message>
    <message>
        <source>X+Y-Z+</source>
        <translation>X+Y-Z+</translation>
    </message>
    <message>
        <source>X+Y+Z-</source>
        <translation>X+Y+Z-</translation>
    </message>
    <message>
        <source>X-Y-Z+</source>
        <translation>X-Y-Z+</translation>
    </message>
    <message>
        <source>X-Y+Z-</source>
        <translation>X-Y+Z-</translation>
    </message>
    <message>
        <source>X+Y-Z-</source>
        <translation>X+Y-Z-</translation>
    </message>
    <message>
        <source>X-Y-Z-</source>
        <translation>X-Y-Z-</translation>
    </message>
    <message>
        <source>(out)</source>
        <translation>(außerhalb)</translation>
    </message>
</context>
<context>
    <name>GCAD_Benchmark_dlg</name>
    <message>
        <source>run benchmark</source>
        <translation>Benchmark ausführen</translation>
    </message>
    <message>
        <source>please leave the computer untouched while the benchmark is running. if any time consuming or 3d applications are running, stop them before starting the benchmark.</source>
        <translation>Bitte bedienen Sie den Computer nicht, solange der Benchmark läuft. Falls zeitaufwendige oder 3D-Anwendungen laufen, beenden Sie sie vor dem Start des Benchmarks.</translation>
    </message>
    <message>
        <source>start benchmark</source>
        <translation>Benchmark starten</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>GCAD_Benchmark_progress</name>
    <message>
        <source>create benchmark data</source>
        <translation>Benchmark-Daten erzeugen</translation>
    </message>
    <message>
        <source>run benchmark</source>
        <translation>Benchmark läuft</translation>
    </message>
</context>
<context>
    <name>GCAD_CardInfo_dlg</name>
    <message>
        <source>benchmark</source>
        <translation>Benchmark</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>card info</source>
        <translation>Grafikkarten-Info</translation>
    </message>
    <message>
        <source>driver version</source>
        <translation>Treiberversion</translation>
    </message>
    <message>
        <source>renderer</source>
        <translation>Renderer</translation>
    </message>
    <message>
        <source>vendor</source>
        <translation>Hersteller</translation>
    </message>
    <message>
        <source>ram size</source>
        <translation>Grafikspeicher</translation>
    </message>
    <message>
        <source>%1 mb</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>active renderer</source>
        <translation>Aktiver Renderer</translation>
    </message>
    <message>
        <source>software</source>
        <translation>Software</translation>
    </message>
    <message>
        <source>hardware</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>offscreen rendering possible</source>
        <translation>Offscreen-Rendering möglich</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>offscreen render mode</source>
        <translation>Offscreen-Rendermodus</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>pbuffer</source>
        <translation>PBuffer</translation>
    </message>
    <message>
        <source>fbo</source>
        <translation>FBO</translation>
    </message>
    <message>
        <source>performance index</source>
        <translation>Leistungsindex</translation>
    </message>
    <message>
        <source>not supported</source>
        <translation>nicht unterstützt</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <source>certified</source>
        <translation>zertifiziert</translation>
    </message>
</context>
<context>
    <name>GCAD_OpenGL_cfg</name>
    <message>
        <source>highlight transparency</source>
        <translation>Transparenz der Hervorhebung</translation>
    </message>
    <message>
        <source>highlight color</source>
        <translation>Farbe der Hervorhebung</translation>
    </message>
</context>
<context>
    <name>GCAD_cmd</name>
    <message>
        <source>run benchmark</source>
        <translation>Benchmark ausführen</translation>
    </message>
    <message>
        <source>card info</source>
        <translation>Grafikkarten-Info</translation>
    </message>
    <message>
        <source>run vertex cache benchmark</source>
        <translation>Vertex-Cache-Benchmark ausführen</translation>
    </message>
</context>
<context>
    <name>GCAD_info</name>
    <message>
        <source>software rendering enabled</source>
        <translation>Software-Rendering aktiviert</translation>
    </message>
    <message>
        <source>not all graphic cards have quality OpenGL support. therefore the application will be started in software rendering mode. this has the following disadvantages:</source>
        <translation>Nicht alle Grafikkarten bieten eine gute OpenGL-Unterstützung. Daher wird die Anwendung im Software-Rendering-Modus gestartet. Das hat folgende Nachteile:</translation>
    </message>
    <message>
        <source>offscreen rendering disabled</source>
        <translation>Offscreen-Rendering deaktiviert</translation>
    </message>
    <message>
        <source>offscreen rendering has been disabled by the application. this happens due to limited graphic card ressources, driver incompatibility or wrong settings in the preferences. this has the following disadvantages:</source>
        <translation>Die Anwendung hat das Offscreen-Rendering deaktiviert. Das geschieht wegen knapper Ressourcen der Grafikkarte, Treiberinkompatibilität oder falscher Einstellungen in den Voreinstellungen. Das hat folgende Nachteile:</translation>
    </message>
    <message>
        <source>snapshot may have incorrect areas</source>
        <translation>Schnappschüsse können fehlerhafte Bereiche enthalten</translation>
    </message>
    <message>
        <source>no high resolution snapshots</source>
        <translation>keine hochauflösenden Schnappschüsse</translation>
    </message>
    <message>
        <source>no optimal 3d performance</source>
        <translation>keine optimale 3D-Leistung</translation>
    </message>
    <message>
        <source>no graphic card benchmark possible</source>
        <translation>kein Grafikkarten-Benchmark möglich</translation>
    </message>
    <message>
        <source>reset render settings</source>
        <translation>Render-Einstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>do you really want to reset the rendering settings and the benchmark results? After the reset you have to restart the application to activate the changes.</source>
        <translation>Wollen Sie die Render-Einstellungen und die Benchmark-Ergebnisse wirklich zurücksetzen? Nach dem Zurücksetzen müssen Sie die Anwendung neu starten, damit die Änderungen wirksam werden.</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>slow 3d performance</source>
        <translation>langsame 3D-Darstellung</translation>
    </message>
    <message>
        <source>information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>select render mode</source>
        <translation>Rendermodus wählen</translation>
    </message>
    <message>
        <source>your driver version has changed since the last start of the software</source>
        <translation>Ihre Treiberversion hat sich seit dem letzten Start der Software geändert</translation>
    </message>
    <message>
        <source>no benchmark results</source>
        <translation>keine Benchmark-Ergebnisse</translation>
    </message>
    <message>
        <source>for optimal 3d performance a graphic card benchmark is required. close all other &lt;br&gt;applications before starting the benchmark test. during the test, please do not work &lt;br&gt;with your computer.</source>
        <translation>Für optimale 3D-Leistung ist ein Grafikkarten-Benchmark nötig. Schließen Sie alle anderen &lt;br&gt;Anwendungen, bevor Sie den Benchmark starten. Bitte arbeiten Sie während des Tests &lt;br&gt;nicht mit Ihrem Computer.</translation>
    </message>
    <message>
        <source>graphic board and driver are not certified</source>
        <translation>Grafikkarte und Treiber sind nicht zertifiziert</translation>
    </message>
    <message>
        <source>your graphic board has not been certified. that means either your combination of graphic &lt;br&gt;board and driver has not been tested or has known problems. this can result in &lt;br&gt;application crashes or rendering errors. in general your graphic board vendor has quality &lt;br&gt;driver support, but older driver versions may not work properly.</source>
        <translation>Ihre Grafikkarte ist nicht zertifiziert. Das heißt, Ihre Kombination aus Grafikkarte &lt;br&gt;und Treiber wurde entweder nicht getestet oder hat bekannte Probleme. Das kann zu &lt;br&gt;Programmabstürzen oder Darstellungsfehlern führen. Im Allgemeinen bietet Ihr Grafikkartenhersteller &lt;br&gt;gute Treiber, ältere Treiberversionen funktionieren aber eventuell nicht richtig.</translation>
    </message>
    <message>
        <source>software rendering</source>
        <translation>Software-Rendering</translation>
    </message>
    <message>
        <source>hardware rendering</source>
        <translation>Hardware-Rendering</translation>
    </message>
    <message>
        <source>to avoid driver and rendering issues at cost of:</source>
        <translation>um Treiber- und Darstellungsprobleme zu vermeiden, auf Kosten von:</translation>
    </message>
    <message>
        <source>use hardware rendering for full 3d performance at your own risk. this may lead &lt;br&gt; to the following problems:</source>
        <translation>Hardware-Rendering für volle 3D-Leistung auf eigenes Risiko verwenden. Das kann &lt;br&gt; zu folgenden Problemen führen:</translation>
    </message>
    <message>
        <source>software crashes</source>
        <translation>Programmabstürze</translation>
    </message>
    <message>
        <source>visualization errors</source>
        <translation>Darstellungsfehler</translation>
    </message>
    <message>
        <source>press the ok button to start the benchmark. if the benchmark crashes, software &lt;br&gt;rendering will be enabled by default at the next application start. please close &lt;br&gt;all other applications before starting the benchmark test. during the test, please &lt;br&gt;do not work with your computer.</source>
        <translation>Drücken Sie OK, um den Benchmark zu starten. Stürzt der Benchmark ab, wird beim nächsten &lt;br&gt;Start der Anwendung Software-Rendering aktiviert. Bitte schließen Sie &lt;br&gt;alle anderen Anwendungen, bevor Sie den Benchmark starten. Bitte arbeiten Sie während &lt;br&gt;des Tests nicht mit Ihrem Computer.</translation>
    </message>
</context>
<context>
    <name>VaqGL</name>
    <message>
        <source>not enough graphics memory</source>
        <translation>nicht genug Grafikspeicher</translation>
    </message>
    <message>
        <source>graphics memory</source>
        <translation>Grafikspeicher</translation>
    </message>
</context>
</TS>
