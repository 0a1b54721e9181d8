/*
 * Directory view: log in with the organisation's LDAP / Active Directory or
 * RADIUS server. The settings, the mapping of directory groups to the
 * switch's groups, and a test of a name and password against the settings
 * as they stand in the form (nothing is stored by the test).
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, input, select, field, section, formError, busyCall, notify, serverText, reasonText, sessionEnded,
    SESSION_GONE } = app;

// A refusal of a quiet request, in the form: in the page's language, and a
// closed session back to the login as everywhere else.
function refused($form, reply) {
    var msg = kui.str(reply && reply.retMsg);
    if (msg === SESSION_GONE) { sessionEnded(); return; }
    formError($form, serverText(msg) || T('unknownFailure'));
}

export const texts = {
    en: {
        tab_directory: 'Directory',
        dirIntro: 'People who have no account on this switch can log in with their account in your directory. ' +
            'Their group in the directory decides their group here. The built-in administrator always logs in with its local password.',
        dirOrder: 'Use the directory', dirOrderoff: 'No (local accounts only)',
        dirOrderlocalFirst: 'Local accounts first, then the directory',
        dirOrderdirectoryFirst: 'Directory first, then local accounts',
        dirOrderdirectoryOnly: 'Directory only (local accounts only while no server answers)',
        dirKind: 'Directory type', dirKindldap: 'LDAP / Active Directory', dirKindradius: 'RADIUS',
        dirServers: 'Servers', dirUri1: 'Primary server', dirUri2: 'Secondary server',
        dirUriHint: 'ldap://host (StartTLS) or ldaps://host, optionally :port',
        dirTlsVerify: 'Check the server certificate',
        dirTlsVerifyOff: 'Do not check (UNSAFE: anyone on the network path can read passwords)',
        dirCaPem: 'CA certificates (PEM)', dirCaHint: 'Paste the CA certificate(s) that signed the server certificate. Empty: the system\'s.',
        dirBindDn: 'Search account DN', dirBindHint: 'Empty: search anonymously',
        dirBindPw: 'Search account password', dirSecretHint: 'Currently: {0}. Leave empty to keep it.',
        dirBaseDn: 'Search people under', dirFilter: 'Search filter', dirFilterHint: '%s is replaced by the name typed at login. OpenLDAP: (uid=%s); Active Directory: (sAMAccountName=%s)',
        dirIdAttr: 'Stable id attribute', dirCaseFold: 'Names ignore case (Active Directory)',
        dirGroupSource: 'Groups from', dirGroupSourcememberOf: 'memberOf of the person',
        dirGroupSourcemember: 'group search: (member=person\'s DN)', dirGroupSourcememberUid: 'group search: (memberUid=name)',
        dirGroupBase: 'Search groups under', dirGroupBaseHint: 'Empty: the people search base',
        dirRadius1: 'Primary server', dirRadius2: 'Secondary server', dirRadiusHint: 'host or host:port (1812)',
        dirRadiusSecret: 'Shared secret', dirRadiusRetries: 'Retries per server',
        dirGroupAttr: 'Group from reply attribute',
        dirTimeout: 'Timeout (seconds)', dirUnusedDays: 'Remove directory accounts unused for (days)',
        dirMap: 'Groups', dirMapNote: 'The first row whose directory group the person is in gives their group on this switch. A person in none of them cannot log in.',
        dirGroupName: 'Directory group (name or DN)', dirAddRow: 'Add row', dirRemoveRow: 'Remove',
        dirSaved: 'Directory settings saved.', dirTest: 'Test', dirTestTitle: 'Test a login',
        dirTestNote: 'Tries a name and password against the settings in the form, without saving them or logging anyone in.',
        dirTestRun: 'Try', dirStepOk: 'ok', dirStepFailed: 'failed', dirOutcome: 'Outcome: {0}',
        dirStep_connect: 'Connection', dirStep_TLS: 'Encryption (TLS)', dirStep_bind: 'Search account bind',
        dirStep_search: 'Search for the name', dirStep_groups: 'Directory groups', dirStep_password: 'Password',
        dirStep_reply: 'Reply of the server', 'dirStep_device group': 'Group on this switch',
        dirOutcome_accepted: 'name and password accepted', dirOutcome_rejected: 'wrong password',
        dirOutcome_unknown: 'the directory does not know the name', dirOutcome_unreachable: 'no server answered',
        dirOutcome_failed: 'failed, see the step marked failed',
        set: 'set', 'not set': 'not set',
        srcLocal: 'local', srcldap: 'LDAP', srcradius: 'RADIUS', source: 'Source', dirNo: 'No', dirYes: 'Yes',
        dirKeeps: 'A directory account: its name, password and group are kept in the directory.'
    },
    de: {
        tab_directory: 'Verzeichnis',
        dirIntro: 'Personen ohne Konto auf diesem Switch können sich mit ihrem Konto in Ihrem Verzeichnis anmelden. ' +
            'Ihre Gruppe im Verzeichnis bestimmt ihre Gruppe hier. Der eingebaute Administrator meldet sich immer mit seinem lokalen Passwort an.',
        dirOrder: 'Verzeichnis verwenden', dirOrderoff: 'Nein (nur lokale Konten)',
        dirOrderlocalFirst: 'Zuerst lokale Konten, dann das Verzeichnis',
        dirOrderdirectoryFirst: 'Zuerst das Verzeichnis, dann lokale Konten',
        dirOrderdirectoryOnly: 'Nur das Verzeichnis (lokale Konten nur, solange kein Server antwortet)',
        dirKind: 'Verzeichnistyp', dirKindldap: 'LDAP / Active Directory', dirKindradius: 'RADIUS',
        dirServers: 'Server', dirUri1: 'Erster Server', dirUri2: 'Zweiter Server',
        dirUriHint: 'ldap://host (StartTLS) oder ldaps://host, optional :port',
        dirTlsVerify: 'Serverzertifikat prüfen',
        dirTlsVerifyOff: 'Nicht prüfen (UNSICHER: jeder auf dem Netzwerkweg kann Passwörter lesen)',
        dirCaPem: 'CA-Zertifikate (PEM)', dirCaHint: 'Fügen Sie die CA-Zertifikate ein, die das Serverzertifikat signiert haben. Leer: die des Systems.',
        dirBindDn: 'DN des Suchkontos', dirBindHint: 'Leer: anonym suchen',
        dirBindPw: 'Passwort des Suchkontos', dirSecretHint: 'Derzeit: {0}. Leer lassen, um es zu behalten.',
        dirBaseDn: 'Personen suchen unter', dirFilter: 'Suchfilter', dirFilterHint: '%s wird durch den bei der Anmeldung eingegebenen Namen ersetzt. OpenLDAP: (uid=%s); Active Directory: (sAMAccountName=%s)',
        dirIdAttr: 'Attribut der festen Kennung', dirCaseFold: 'Namen ohne Groß-/Kleinschreibung (Active Directory)',
        dirGroupSource: 'Gruppen aus', dirGroupSourcememberOf: 'memberOf der Person',
        dirGroupSourcemember: 'Gruppensuche: (member=DN der Person)', dirGroupSourcememberUid: 'Gruppensuche: (memberUid=Name)',
        dirGroupBase: 'Gruppen suchen unter', dirGroupBaseHint: 'Leer: die Suchbasis der Personen',
        dirRadius1: 'Erster Server', dirRadius2: 'Zweiter Server', dirRadiusHint: 'host oder host:port (1812)',
        dirRadiusSecret: 'Gemeinsames Geheimnis', dirRadiusRetries: 'Wiederholungen je Server',
        dirGroupAttr: 'Gruppe aus dem Antwortattribut',
        dirTimeout: 'Zeitlimit (Sekunden)', dirUnusedDays: 'Unbenutzte Verzeichniskonten entfernen nach (Tagen)',
        dirMap: 'Gruppen', dirMapNote: 'Die erste Zeile, in deren Verzeichnisgruppe die Person ist, gibt ihre Gruppe auf diesem Switch. Wer in keiner ist, kann sich nicht anmelden.',
        dirGroupName: 'Verzeichnisgruppe (Name oder DN)', dirAddRow: 'Zeile hinzufügen', dirRemoveRow: 'Entfernen',
        dirSaved: 'Verzeichniseinstellungen gespeichert.', dirTest: 'Testen', dirTestTitle: 'Anmeldung testen',
        dirTestNote: 'Probiert Name und Passwort mit den Einstellungen im Formular aus, ohne sie zu speichern oder jemanden anzumelden.',
        dirTestRun: 'Ausprobieren', dirStepOk: 'ok', dirStepFailed: 'fehlgeschlagen', dirOutcome: 'Ergebnis: {0}',
        dirStep_connect: 'Verbindung', dirStep_TLS: 'Verschlüsselung (TLS)', dirStep_bind: 'Anmeldung des Suchkontos',
        dirStep_search: 'Suche nach dem Namen', dirStep_groups: 'Verzeichnisgruppen', dirStep_password: 'Passwort',
        dirStep_reply: 'Antwort des Servers', 'dirStep_device group': 'Gruppe auf diesem Switch',
        dirOutcome_accepted: 'Name und Passwort angenommen', dirOutcome_rejected: 'falsches Passwort',
        dirOutcome_unknown: 'das Verzeichnis kennt den Namen nicht', dirOutcome_unreachable: 'kein Server hat geantwortet',
        dirOutcome_failed: 'fehlgeschlagen, siehe den als fehlgeschlagen markierten Schritt',
        // The phrases of a step's detail (parts between ": ").
        'dirDetail_invalid server address': 'ung\u00fcltige Serveradresse', 'dirDetail_unreachable': 'nicht erreichbar',
        'dirDetail_cannot write the CA certificates': 'die CA-Zertifikate lassen sich nicht schreiben', 'dirDetail_TLS refused': 'TLS abgelehnt',
        'dirDetail_service account refused': 'Suchkonto abgelehnt', 'dirDetail_the search filter has no %s': 'der Suchfilter enth\u00e4lt kein %s',
        'dirDetail_search failed': 'Suche fehlgeschlagen', 'dirDetail_no such name': 'Name nicht vorhanden', 'dirDetail_no entry': 'kein Eintrag',
        'dirDetail_the name matches more than one entry': 'der Name passt auf mehr als einen Eintrag',
        'dirDetail_group search failed': 'Gruppensuche fehlgeschlagen', 'dirDetail_wrong password': 'falsches Passwort',
        'dirDetail_bind as the person failed': 'Anmeldung als die Person fehlgeschlagen',
        'dirDetail_the LDAP client library is not installed': 'die LDAP-Clientbibliothek ist nicht installiert',
        'dirDetail_no route': 'keine Route', 'dirDetail_no random source': 'keine Zufallsquelle', 'dirDetail_no valid reply': 'keine g\u00fcltige Antwort',
        'dirDetail_the name or password is too long for RADIUS': 'Name oder Passwort ist f\u00fcr RADIUS zu lang',
        'dirDetail_a reply without a valid signature was dropped': 'eine Antwort ohne g\u00fcltige Signatur wurde verworfen',
        'dirDetail_empty password': 'leeres Passwort', 'dirDetail_an empty password is never sent': 'ein leeres Passwort wird nie gesendet',
        'dirDetail_none': 'keine', 'dirDetail_accepted': 'angenommen', 'dirDetail_rejected': 'abgelehnt',
        'dirDetail_no access group': 'keine Zugriffsgruppe', 'dirDetail_anonymous': 'anonym',
        set: 'gesetzt', 'not set': 'nicht gesetzt',
        srcLocal: 'lokal', srcldap: 'LDAP', srcradius: 'RADIUS', source: 'Herkunft', dirNo: 'Nein', dirYes: 'Ja',
        dirKeeps: 'Ein Verzeichniskonto: Name, Passwort und Gruppe verwaltet das Verzeichnis.'
    }
};

var SECRET_NAMES = { bindPw: true, radiusSecret: true };

export function build($p) {
    var current = {};
    var $form = kui.el('form', { cls: 'kv-form kv-form-wide', autocomplete: 'off' });
    var $order = select('order', $.map(['off', 'localFirst', 'directoryFirst', 'directoryOnly'], function (o) { return [[o, T('dirOrder' + o)]]; }), 'off');
    var $kind = select('kind', [['ldap', T('dirKindldap')], ['radius', T('dirKindradius')]], 'ldap');
    var $verify = select('tlsVerify', [['1', T('dirTlsVerify')], ['0', T('dirTlsVerifyOff')]], '1');
    var $ca = kui.el('textarea', { name: 'caPem', cls: 'kv-input', rows: 6, spellcheck: 'false' });
    var $bindPwHint = kui.el('span');
    var $secretHint = kui.el('span');
    var $ldap = kui.el('div', {}, [
        row(T('dirUri1'), input('uri1', ''), T('dirUriHint')),
        row(T('dirUri2'), input('uri2', ''), T('dirUriHint')),
        row(T('dirTlsVerify'), $verify),
        row(T('dirCaPem'), $ca, T('dirCaHint')),
        row(T('dirBindDn'), input('bindDn', ''), T('dirBindHint')),
        row(T('dirBindPw'), input('bindPw', '', { type: 'password', autocomplete: 'new-password' })),
        $bindPwHint,
        row(T('dirBaseDn'), input('baseDn', '')),
        row(T('dirFilter'), input('filter', ''), T('dirFilterHint')),
        row(T('dirIdAttr'), select('idAttr', [['entryUUID', 'entryUUID'], ['objectGUID', 'objectGUID (Active Directory)']], 'entryUUID')),
        row(T('dirCaseFold'), select('caseFold', [['0', T('dirNo')], ['1', T('dirYes')]], '0')),
        row(T('dirGroupSource'), select('groupSource', $.map(['memberOf', 'member', 'memberUid'], function (o) { return [[o, T('dirGroupSource' + o)]]; }), 'memberOf')),
        row(T('dirGroupBase'), input('groupBase', ''), T('dirGroupBaseHint'))
    ]);
    var $radius = kui.el('div', {}, [
        row(T('dirRadius1'), input('radius1', ''), T('dirRadiusHint')),
        row(T('dirRadius2'), input('radius2', ''), T('dirRadiusHint')),
        row(T('dirRadiusSecret'), input('radiusSecret', '', { type: 'password', autocomplete: 'new-password' })),
        $secretHint,
        row(T('dirRadiusRetries'), select('radiusRetries', $.map([0, 1, 2, 3, 4, 5], function (n) { return [[String(n), String(n)]]; }), '1')),
        row(T('dirGroupAttr'), select('groupAttr', [['Filter-Id', 'Filter-Id'], ['Class', 'Class']], 'Filter-Id'))
    ]);
    var $map = kui.el('div', { cls: 'kv-dir-map' });
    function mapRow(pid, group) {
        var $g = select('mapPid', $.map(kui.list(app.snap.privs), function (p) { return [[p.id, p.nm]]; }), pid);
        $g.attr('aria-label', T('group'));
        var $n = input('mapGroup', group, { 'aria-label': T('dirGroupName') });
        var $r = kui.el('div', { cls: 'kv-inline' });
        var del = kui.button({ text: T('dirRemoveRow'), name: 'dir-map-del', click: function () { $r.remove(); } });
        $r.append($n, $g, del.$el);
        return $r;
    }
    var addRow = kui.button({ text: T('dirAddRow'), name: 'dir-map-add', click: function () { $map.append(mapRow('', '')); } });
    function showKind() {
        var ldap = $kind.val() === 'ldap';
        $ldap.toggle(ldap);
        $radius.toggle(!ldap);
    }
    $kind.on('change', showKind);
    $verify.on('change', function () { $verify.toggleClass('kv-unsafe', $verify.val() === '0'); });
    $form.append(
        kui.el('div', { cls: 'kv-note', text: T('dirIntro') }),
        row(T('dirOrder'), $order),
        row(T('dirKind'), $kind),
        $ldap, $radius,
        row(T('dirTimeout'), select('timeout', $.map([1, 2, 3, 4, 5, 6, 7, 8, 9, 10], function (n) { return [[String(n), String(n)]]; }), '3')),
        row(T('dirUnusedDays'), input('unusedDays', '90', { inputmode: 'numeric' })),
        kui.el('div', { cls: 'kv-subtitle', text: T('dirMap') }),
        kui.el('div', { cls: 'kv-note', text: T('dirMapNote') }),
        $map
    );
    $form.append(kui.el('div', {}, [addRow.$el]));

    // The form's settings as the request sends them; the secrets only when
    // typed (an empty field keeps the stored one).
    function settings() {
        var p = {};
        $.each(['order', 'kind', 'uri1', 'uri2', 'tlsVerify', 'caPem', 'bindDn', 'baseDn', 'filter', 'idAttr',
            'caseFold', 'groupSource', 'groupBase', 'radius1', 'radius2', 'radiusRetries', 'groupAttr',
            'timeout', 'unusedDays'], function (i, n) {
            p[n] = n === 'caPem' ? ($form.find('[name=caPem]').val() || '') : field($form, n);
        });
        $.each(SECRET_NAMES, function (n) { var v = $form.find('[name=' + n + ']').val(); if (v) p[n] = v; });
        var lines = [];
        $map.children().each(function () {
            var g = $.trim($(this).find('[name=mapGroup]').val() || '');
            if (g) lines.push($(this).find('[name=mapPid]').val() + ':' + g);
        });
        p.map = lines.join('\n');
        return p;
    }

    function show(d) {
        current = d || {};
        $.each(current, function (n, v) {
            if (SECRET_NAMES[n] || n === 'map') return;
            $form.find('[name=' + n + ']').val(kui.str(v));
        });
        $.each(SECRET_NAMES, function (n) { $form.find('[name=' + n + ']').val(''); });
        $bindPwHint.attr('class', 'kv-hint').text(Tf('dirSecretHint', T(kui.str(current.bindPw) || 'not set')));
        $secretHint.attr('class', 'kv-hint').text(Tf('dirSecretHint', T(kui.str(current.radiusSecret) || 'not set')));
        $map.empty();
        $.each(kui.str(current.map).split('\n'), function (i, line) {
            var at = line.indexOf(':');
            if (at > 0) $map.append(mapRow(line.slice(0, at), line.slice(at + 1)));
        });
        showKind();
        $verify.toggleClass('kv-unsafe', $verify.val() === '0');
    }

    var save = kui.button({ text: T('save'), kind: 'primary', name: 'dir-save', click: function () {
        busyCall(save, 'updDirectory', { dirPara: settings() }, { quiet: true }).then(function (reply) {
            show(reply.directory);
            formError($form, '');
            notify(T('dirSaved'));
        }, function (reply) { refused($form, reply); });
    } });
    var test = kui.button({ text: T('dirTest'), name: 'dir-test', click: function () { testLogin(settings); } });
    $p.append(section(T('tab_directory'), [$form, kui.el('div', { cls: 'kv-toolbar' }, [save.$el, test.$el])]));
    // Until the stored settings are in the form, nothing can be typed, saved
    // or tested: their arrival would undo what was typed, and a save would
    // store the empty form's defaults over them.
    function ready(on) {
        $form.find('input, select, textarea, button').prop('disabled', !on);
        $form.attr('aria-busy', on ? null : 'true');
        save.enable(on);
        test.enable(on);
    }
    ready(false);
    var loaded = false;
    return {
        shown: function () {
            if (loaded) return;
            app.call('selDirectory', {}).then(function (reply) { loaded = true; show(reply.directory); ready(true); });
        }
    };
}

// A step or outcome of the test in the page's language; one this page has
// no words for as the program names it.
function inWords(prefix, name) {
    var key = prefix + kui.str(name);
    var text = T(key);
    return text === key ? kui.str(name) : text;
}

function testLogin(settings) {
    var $form = kui.el('form', { cls: 'kv-form', autocomplete: 'off' });
    var $steps = kui.el('ol', { cls: 'kv-dir-steps', 'aria-live': 'polite' });
    $form.append(
        kui.el('div', { cls: 'kv-note', text: T('dirTestNote') }),
        row(T('userName'), input('userNM', '', { maxlength: 32 })),
        row(T('password'), input('pw', '', { type: 'password', autocomplete: 'off' })),
        $steps
    );
    kui.dialog({
        title: T('dirTestTitle'), content: $form, width: 640, buttons: [
            { text: T('dirTestRun'), kind: 'primary', name: 'dir-test-run', click: function (dlg) {
                var nm = field($form, 'userNM');
                if (!nm) return formError($form, T('nameEmpty'));
                dlg.busy(true);
                $steps.empty();
                app.call('testDirectory', { dirPara: settings(), userNM: nm, pw: $form.find('[name=pw]').val() }, { quiet: true })
                    .then(function (reply) {
                        $.each(kui.list(reply.steps), function (i, s) {
                            $steps.append(kui.el('li', { cls: s.ok === '1' ? 'kv-step-ok' : 'kv-step-failed',
                                text: inWords('dirStep_', s.step) + ': ' + T(s.ok === '1' ? 'dirStepOk' : 'dirStepFailed') + (s.detail ? ' \u2014 ' + reasonText(s.detail, 'dirDetail_') : '') }));
                        });
                        $steps.append(kui.el('li', { text: Tf('dirOutcome', inWords('dirOutcome_', reply.outcome)) }));
                    }, function (reply) { refused($form, reply); })
                    .always(function () { dlg.busy(false); });
                return false;
            } },
            { text: T('close'), click: function (dlg) { dlg.close(); } }
        ]
    });
}
