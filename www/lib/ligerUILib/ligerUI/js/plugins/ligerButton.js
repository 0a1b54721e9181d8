/*
 * Button: a push button with a text, an optional kind ('primary', 'danger')
 * and a click handler; can be disabled while its request is under way.
 *
 *   var b = kui.button({text: 'Save', kind: 'primary', click: fn});
 *   form.append(b.$el); b.enable(false);
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var Button = kui.extend(kui.Widget, function Button($el, options) {
        kui.Widget.call(this, $el);
        var self = this;
        $el.addClass('kui-button').attr('type', 'button');
        if (options.kind) $el.addClass('kui-button-' + options.kind);
        if (options.name) $el.attr('data-name', options.name);
        this.setText(options.text || '');
        // The click's default action stays: a button made type "submit"
        // submits its form, by click and by Enter in the form's fields.
        $el.on('click', function (e) {
            if ($el.prop('disabled')) return;
            self.emit('click', e);
            if (options.click) options.click.call(self, e);
        });
    }, {
        setText: function (text) { this.$el.text(text); },
        // enable() says whether the button may be used; busy() takes it out
        // of use while its request runs, whatever enable() said meanwhile.
        enable: function (on) { this.wanted = !!on; this.apply(); },
        // A button that had the focus gets it back when its request ends,
        // unless the person has moved on meanwhile.
        busy: function (on) {
            if (on && this.$el.is(':focus')) this.refocus = true;
            this.isBusy = !!on;
            this.$el.attr('aria-busy', on ? 'true' : null);
            this.apply();
            if (!on && this.refocus) {
                this.refocus = false;
                var lost = !document.activeElement || document.activeElement === document.body;
                if (lost && !this.$el.prop('disabled') && this.$el.is(':visible')) this.$el.focus();
            }
        },
        apply: function () {
            var off = this.wanted === false || !!this.isBusy;
            this.$el.prop('disabled', off).toggleClass('kui-disabled', off);
        }
    });

    kui.inject('Button', Button);

    // Shorthand that creates the <button> element as well.
    kui.button = function (options) {
        return kui.el('button').kuiButton(options);
    };
})(window, jQuery);
