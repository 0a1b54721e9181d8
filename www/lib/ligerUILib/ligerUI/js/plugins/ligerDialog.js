/*
 * Dialog: a modal box with a title bar, a content area and a row of buttons,
 * movable by its title bar and resizable by its corner grip. Enter in one of
 * its fields (check boxes too: Space ticks them) presses the primary button;
 * Escape closes the topmost dialog.
 *
 *   var d = kui.dialog({title: 'Edit', content: $form, width: 420,
 *       buttons: [{text: 'Save', kind: 'primary', click: function (dlg) {...}},
 *                 {text: 'Cancel', click: function (dlg) { dlg.close(); }}]});
 *
 * Message boxes built on it:
 *   kui.alert(text, kind, title)  kind: 'error', 'warning', 'info', 'success'
 *   kui.confirm(text, onYes, title, yesText)  the yes button is named by its
 *       action (yesText, else the title); Cancel has the focus, so a stray
 *       Enter changes nothing
 * The texts of the stock buttons come from kui.dialogTexts, which the page
 * sets to its language (defaults: English).
 *
 * A dialog is named by its title; focus moves into it when it opens, Tab
 * and Shift+Tab cycle inside it, and focus returns to the element that had
 * it (the opener) when it closes. On a narrow screen it takes the width of
 * the screen and its content scrolls. A grid row that opened it and was
 * drawn again meanwhile hands the focus to its new self.
 *
 * While busy (its request runs) it cannot be closed: Escape and the close
 * button say so in the dialog instead, and the request goes on.
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    kui.dialogTexts = { ok: 'OK', cancel: 'Cancel', close: 'Close', busy: 'Saving\u2026',
        stillBusy: 'The change is still being saved; this box closes when it is done.' };

    var openDialogs = [];

    $(document).on('keydown', function (e) {
        if (!openDialogs.length) return;
        var top = openDialogs[openDialogs.length - 1];
        if (e.which === 27) {
            if (top.options.closable !== false) top.tryClose();
        } else if (e.which === 9) {
            top.trapTab(e);
        }
    });

    var FOCUSABLE = 'a[href], button:not([disabled]), input:not([disabled]), select:not([disabled]), ' +
        'textarea:not([disabled]), [tabindex="0"]';

    var Dialog = kui.extend(kui.Widget, function Dialog($el, options) {
        kui.Widget.call(this, $el);
        var self = this;
        this.options = options;
        this.$opener = $(document.activeElement);
        this.$openerBody = this.$opener.closest('tbody');
        var captionId = kui.uid('dlg-title');
        this.$overlay = kui.el('div', { cls: 'kui-overlay' });
        this.$title = kui.el('div', { cls: 'kui-dialog-title' }, [
            kui.el('h2', { cls: 'kui-dialog-caption', id: captionId, text: options.title || '' }),
            options.closable === false ? null :
                kui.el('button', { cls: 'kui-dialog-x', type: 'button', title: kui.dialogTexts.close,
                    'aria-label': kui.dialogTexts.close, text: '\u00d7',
                    on: { click: function () { self.tryClose(); } } })
        ]);
        this.$content = kui.el('div', { cls: 'kui-dialog-content' });
        this.$busyNote = kui.el('div', { cls: 'kui-dialog-busy', role: 'status', 'aria-live': 'polite' });
        if (options.content) this.$content.append(options.content);
        this.$buttons = kui.el('div', { cls: 'kui-dialog-buttons' });
        $.each(options.buttons || [], function (i, b) {
            if (!b) return;
            var btn = kui.button({ text: b.text, kind: b.kind, name: b.name,
                click: function () { b.click.call(self, self); } });
            self.$buttons.append(btn.$el);
        });
        $el.addClass('kui-dialog').attr({ role: options.alert ? 'alertdialog' : 'dialog', 'aria-modal': 'true',
            'aria-labelledby': captionId }).append(this.$title, this.$content, this.$busyNote, this.$buttons);
        // Enter in a field does what the primary button does, and a form in
        // the dialog never submits itself (that would leave the page).
        $el.on('submit', 'form', function (e) { e.preventDefault(); });
        $el.on('keydown', 'input, select', function (e) {
            if (e.which !== 13 || e.isDefaultPrevented() || /^(button|submit|file)$/.test(this.type)) return;
            e.preventDefault();
            self.$buttons.find('.kui-button-primary').first().click();
        });
        if (options.cls) $el.addClass(options.cls);
        $el.css('width', Math.min(options.width || 400, $(window).width() - 8));
        $('body').append(this.$overlay, $el);
        // Centre once the browser knows the box's size.
        $el.css({
            left: Math.max(4, ($(window).width() - $el.outerWidth()) / 2),
            top: Math.max(4, Math.min(($(window).height() - $el.outerHeight()) / 3, 80))
        });
        kui.draggable($el, this.$title);
        kui.resizable($el, { minWidth: 260, minHeight: 120 });
        openDialogs.push(this);
        var $focus = this.$content.find('input:visible, select:visible, textarea:visible').first();
        if (options.focusButton) $focus = this.$buttons.find('[data-name="' + options.focusButton + '"]');
        if (!$focus.length) $focus = this.$buttons.find('button').first();
        $focus.focus();
    }, {
        close: function () {
            var i = $.inArray(this, openDialogs);
            if (i >= 0) openDialogs.splice(i, 1);
            this.$overlay.remove();
            this.$el.remove();
            this.emit('close');
            // Back to the opener, unless a handler moved focus elsewhere meanwhile.
            var lost = !document.activeElement || document.activeElement === document.body;
            if (!lost || !this.$opener.length) return;
            if ($.contains(document, this.$opener[0])) { this.$opener.focus(); return; }
            var rowId = this.$opener.attr('data-row-id');
            if (this.$openerBody.length && $.contains(document, this.$openerBody[0])) {
                var $rows = this.$openerBody.children('tr');
                var $same = rowId !== undefined ? $rows.filter(function () { return $(this).attr('data-row-id') === rowId; }) : $();
                ($same.length ? $same : $rows.filter('[tabindex="0"]')).first().focus();
            }
        },
        // Closes, unless a request of the dialog runs: then it says that the
        // request still goes on, and stays.
        tryClose: function () {
            if (this.isBusy) { this.$busyNote.text(kui.dialogTexts.stillBusy || kui.dialogTexts.busy || ''); return; }
            this.close();
        },
        // Keeps Tab inside the dialog: past the last control to the first and back.
        trapTab: function (e) {
            var $all = this.$el.find(FOCUSABLE).filter(':visible');
            if (!$all.length) { e.preventDefault(); return; }
            var first = $all[0], last = $all[$all.length - 1];
            var inside = $.contains(this.$el[0], document.activeElement);
            if (e.shiftKey && (document.activeElement === first || !inside)) { e.preventDefault(); last.focus(); }
            else if (!e.shiftKey && (document.activeElement === last || !inside)) { e.preventDefault(); first.focus(); }
        },
        content: function () { return this.$content; },
        // Disables the buttons while a request of the dialog is under way.
        busy: function (on) {
            this.isBusy = !!on;
            this.$buttons.find('button').prop('disabled', !!on);
            this.$el.toggleClass('kui-busy', !!on).attr('aria-busy', on ? 'true' : null);
            this.$busyNote.text(on ? kui.dialogTexts.busy || '' : '');
            // The focus stays in the dialog while its buttons are out of use.
            var inside = $.contains(this.$el[0], document.activeElement);
            if (on && !inside) this.$busyNote.attr('tabindex', -1).focus();
            if (!on && (!inside || document.activeElement === this.$busyNote[0])) {
                this.$buttons.find('.kui-button-primary').first().focus();
            }
        }
    });

    kui.inject('Dialog', Dialog);

    kui.dialog = function (options) {
        return new Dialog(kui.el('div'), options);
    };

    // The topmost dialog for which which(dialog) holds (any, without it), or null.
    kui.topDialog = function (which) {
        for (var i = openDialogs.length - 1; i >= 0; i--) if (!which || which(openDialogs[i])) return openDialogs[i];
        return null;
    };

    // Closes every open dialog (used when the session ends).
    kui.closeAllDialogs = function () {
        $.each(openDialogs.slice(), function (i, d) { d.close(); });
    };

    // Message box; text may hold line breaks, which are kept.
    kui.alert = function (text, kind, title, onClose) {
        kind = kind || 'info';
        var $msg = kui.el('div', { cls: 'kui-message kui-message-' + kind }, [
            kui.el('span', { cls: 'kui-message-icon' }),
            kui.el('div', { cls: 'kui-message-text', text: kui.str(text) })
        ]);
        var d = kui.dialog({
            title: title || '', content: $msg, width: 420, cls: 'kui-dialog-' + kind, alert: true,
            buttons: [{ text: kui.dialogTexts.ok, kind: 'primary', name: 'ok', click: function (dlg) { dlg.close(); } }]
        });
        if (onClose) d.on('close', onClose);
        return d;
    };

    kui.confirm = function (text, onYes, title, yesText) {
        var $msg = kui.el('div', { cls: 'kui-message kui-message-question' }, [
            kui.el('span', { cls: 'kui-message-icon' }),
            kui.el('div', { cls: 'kui-message-text', text: kui.str(text) })
        ]);
        return kui.dialog({
            title: title || '', content: $msg, width: 420, alert: true, focusButton: 'cancel',
            buttons: [
                { text: yesText || title || kui.dialogTexts.ok, kind: 'primary', name: 'ok', click: function (dlg) { dlg.close(); onYes(); } },
                { text: kui.dialogTexts.cancel, name: 'cancel', click: function (dlg) { dlg.close(); } }
            ]
        });
    };
})(window, jQuery);
