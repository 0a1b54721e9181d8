/*
 * Check box: a real <input type=checkbox> with its label, styled by the skin.
 *
 *   var c = kui.checkBox({label: 'read', checked: true});
 *   c.on('change', function (on) {...}); c.checked(); c.checked(false);
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var CheckBox = kui.extend(kui.Widget, function CheckBox($el, options) {
        kui.Widget.call(this, $el);
        var self = this;
        $el.empty().addClass('kui-checkbox');
        this.$input = kui.el('input', { type: 'checkbox' });
        if (options.name) this.$input.attr('data-name', options.name);
        // A box without a visible label still needs a name for screen readers.
        if (options.ariaLabel) this.$input.attr('aria-label', options.ariaLabel);
        $el.append(this.$input, kui.el('span', { cls: 'kui-checkbox-label', text: options.label || '' }));
        this.checked(!!options.checked);
        this.enable(!options.disabled);
        this.$input.on('change', function () { self.emit('change', self.checked()); });
    }, {
        checked: function (on) {
            if (on === undefined) return this.$input.prop('checked');
            this.$input.prop('checked', !!on);
        },
        enable: function (on) {
            this.$input.prop('disabled', !on);
            this.$el.toggleClass('kui-disabled', !on);
        },
        destroyContent: function () { this.$el.empty(); }
    });

    kui.inject('CheckBox', CheckBox);

    kui.checkBox = function (options) {
        return kui.el('label').kuiCheckBox(options);
    };
})(window, jQuery);
