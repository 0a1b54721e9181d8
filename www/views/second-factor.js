/*
 * Second-factor view: the logged-in user sets up an authenticator app.
 * "Set up" asks the switch for a new secret (shown as a QR code of its
 * otpauth address and as text to type in); the secret becomes active only
 * once a code made from it is confirmed, so an abandoned setup changes
 * nothing. Every level may use it: each user enrols for themselves.
 */
import qrcode from '../lib/qrcode-esm.js';

const app = window.kvCore;
const { kui, T, row, input, field, toolbar, section, formError, busyCall, notify } = app;

export const texts = {
    en: {
        'tab_second-factor': 'Second factor',
        totpIntro: 'With a second factor, logging in also needs the six-digit code of an authenticator app on your phone.',
        totpSetUp: 'Set up', totpQrAlt: 'QR code of the authenticator setup',
        totpScan: 'Scan the QR code with your authenticator app, or type in this key:',
        totpSecret: 'Key', totpConfirm: 'Confirm', totpCodeHint: 'The six-digit code your app shows now.',
        totpCodeMissing: 'Enter the six-digit code.', totpDone: 'Second factor set up. From your next login on, the code is asked for.',
        totpAgain: 'Setting up again replaces the current second factor once the new code is confirmed.'
    },
    de: {
        'tab_second-factor': 'Zweiter Faktor',
        totpIntro: 'Mit einem zweiten Faktor braucht die Anmeldung auch den sechsstelligen Code einer Authenticator-App auf Ihrem Telefon.',
        totpSetUp: 'Einrichten', totpQrAlt: 'QR-Code zum Einrichten des Authenticators',
        totpScan: 'Scannen Sie den QR-Code mit Ihrer Authenticator-App oder geben Sie diesen Schl\u00fcssel ein:',
        totpSecret: 'Schl\u00fcssel', totpConfirm: 'Best\u00e4tigen', totpCodeHint: 'Der sechsstellige Code, den Ihre App jetzt zeigt.',
        totpCodeMissing: 'Geben Sie den sechsstelligen Code ein.', totpDone: 'Zweiter Faktor eingerichtet. Ab der n\u00e4chsten Anmeldung wird der Code verlangt.',
        totpAgain: 'Erneutes Einrichten ersetzt den bisherigen zweiten Faktor, sobald der neue Code best\u00e4tigt ist.'
    },
    zh: {
        'tab_second-factor': '\u7b2c\u4e8c\u56e0\u7d20',
        totpIntro: '\u542f\u7528\u7b2c\u4e8c\u56e0\u7d20\u540e\uff0c\u767b\u5f55\u8fd8\u9700\u8981\u624b\u673a\u8eab\u4efd\u9a8c\u8bc1\u5668\u5e94\u7528\u4e2d\u7684\u516d\u4f4d\u4ee3\u7801\u3002',
        totpSetUp: '\u8bbe\u7f6e', totpQrAlt: '\u8eab\u4efd\u9a8c\u8bc1\u5668\u8bbe\u7f6e\u7684\u4e8c\u7ef4\u7801',
        totpScan: '\u8bf7\u7528\u8eab\u4efd\u9a8c\u8bc1\u5668\u5e94\u7528\u626b\u63cf\u4e8c\u7ef4\u7801\uff0c\u6216\u8f93\u5165\u6b64\u5bc6\u94a5\uff1a',
        totpSecret: '\u5bc6\u94a5', totpConfirm: '\u786e\u8ba4', totpCodeHint: '\u5e94\u7528\u5f53\u524d\u663e\u793a\u7684\u516d\u4f4d\u4ee3\u7801\u3002',
        totpCodeMissing: '\u8bf7\u8f93\u5165\u516d\u4f4d\u4ee3\u7801\u3002', totpDone: '\u7b2c\u4e8c\u56e0\u7d20\u5df2\u8bbe\u7f6e\u3002\u4e0b\u6b21\u767b\u5f55\u8d77\u9700\u8981\u8f93\u5165\u4ee3\u7801\u3002',
        totpAgain: '\u91cd\u65b0\u8bbe\u7f6e\u5c06\u5728\u65b0\u4ee3\u7801\u786e\u8ba4\u540e\u66ff\u6362\u5f53\u524d\u7684\u7b2c\u4e8c\u56e0\u7d20\u3002'
    }
};

// The secret in groups of four, as authenticator apps accept it typed in.
function grouped(secret) {
    return kui.str(secret).replace(/(.{4})(?=.)/g, '$1 ');
}

export function build($p) {
    var btnSetUp = kui.button({ text: T('totpSetUp'), kind: 'primary', name: 'totp-begin', click: begin });
    var $enrol = kui.el('form', { cls: 'kv-totp-enrol', novalidate: 'novalidate' }).hide();

    function begin() {
        busyCall(btnSetUp, 'totpBegin', {}).then(function (reply) {
            var t = (reply && reply.totp) || {};
            showEnrolment(kui.str(t.uri), kui.str(t.secret));
        });
    }

    function showEnrolment(uri, secret) {
        // Type 0: the smallest QR version that holds the address.
        var qr = qrcode(0, 'M');
        qr.addData(uri);
        qr.make();
        var $img = kui.el('img', { cls: 'kv-totp-qr', src: qr.createDataURL(4, 4), alt: T('totpQrAlt') });
        var $secret = kui.el('code', { cls: 'kv-totp-secret', id: 'kv-totp-secret', text: grouped(secret) });
        var $otp = input('otp', '', { autocomplete: 'one-time-code', inputmode: 'numeric', maxlength: 6, id: 'kv-totp-otp' });
        var btnConfirm = kui.button({ text: T('totpConfirm'), kind: 'primary', name: 'totp-confirm' });
        btnConfirm.$el.attr('type', 'submit');
        $enrol.empty().append(
            kui.el('p', { text: T('totpScan') }), $img,
            row(T('totpSecret'), $secret),
            row(T('otpCode'), $otp, T('totpCodeHint')),
            toolbar([btnConfirm])
        ).show();
        $enrol.off('submit').on('submit', function (e) {
            e.preventDefault();
            var otp = field($enrol, 'otp').replace(/\s+/g, '');
            if (!/^\d{6}$/.test(otp)) { formError($enrol, T('totpCodeMissing')); $otp.focus(); return; }
            busyCall(btnConfirm, 'totpConfirm', { otp: otp }).then(function () {
                $enrol.hide().empty();
                notify(T('totpDone'));
                btnSetUp.$el.focus();
            }, function () {
                // The alert of the refusal gives the focus back to the field when closed.
                $otp.val('');
            });
        });
        $otp.focus();
    }

    $p.append(section(T('tab_second-factor'), [
        kui.el('p', { text: T('totpIntro') }),
        toolbar([btnSetUp]),
        kui.el('div', { cls: 'kv-note', text: T('totpAgain') }),
        $enrol
    ]));
    return {};
}
